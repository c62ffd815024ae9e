#pragma once

#include <cstdint>
#include <functional>
#include <map>

// EventHub counts the changes to the day and tells whoever listens, such as
// the event streams of the devices, after each one.
class EventHub {
public:
    using Listener = std::function<void(std::int64_t change)>;

    std::int64_t change() const;
    // Counts a change and tells every listener.
    void changed();
    // Returns a number by which the listener is stopped.
    int listen(Listener listener);
    void stop(int listener);

private:
    std::int64_t count = 0;
    int next = 0;
    std::map<int, Listener> listeners;
};
