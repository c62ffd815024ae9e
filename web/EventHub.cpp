#include "web/EventHub.h"

#include <utility>
#include <vector>

std::int64_t EventHub::change() const { return count; }

// A listener may stop listening while it is told, so the list is copied.
void EventHub::changed(std::int64_t version) {
    count = version;
    std::vector<Listener> told;
    told.reserve(listeners.size());
    for (const auto& [number, listening] : listeners) {
        told.push_back(listening.told);
    }
    for (const Listener& listener : told) {
        listener(count);
    }
}

int EventHub::listen(std::string session, Listener told, Ending ended) {
    listeners.emplace(next, Listening{std::move(session), std::move(told), std::move(ended)});
    return next++;
}

void EventHub::stop(int listener) { listeners.erase(listener); }

void EventHub::endSession(const std::string& session) {
    if (session.empty()) {
        return;
    }
    std::vector<Ending> ending;
    for (auto at = listeners.begin(); at != listeners.end();) {
        if (at->second.session == session) {
            ending.push_back(std::move(at->second.ended));
            at = listeners.erase(at);
        } else {
            ++at;
        }
    }
    for (const Ending& end : ending) {
        end();
    }
}
