#include "web/EventHub.h"

#include <utility>
#include <vector>

std::int64_t EventHub::change() const { return count; }

// A listener may stop listening while it is told, so the list is copied.
void EventHub::changed(std::int64_t version) {
    count = version;
    std::vector<Listener> told;
    told.reserve(listeners.size());
    for (const auto& [number, listener] : listeners) {
        told.push_back(listener);
    }
    for (const Listener& listener : told) {
        listener(count);
    }
}

int EventHub::listen(Listener listener) {
    listeners.emplace(next, std::move(listener));
    return next++;
}

void EventHub::stop(int listener) { listeners.erase(listener); }
