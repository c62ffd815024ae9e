#pragma once

#include <cstdint>
#include <functional>
#include <map>

// EventHub hears of each new version of the day and tells whoever listens,
// such as the event streams of the devices. It lives on the server's
// thread.
class EventHub {
public:
    using Listener = std::function<void(std::int64_t change)>;

    std::int64_t change() const;
    // Tells every listener of the day's new version.
    void changed(std::int64_t version);
    // Returns a number by which the listener is stopped.
    int listen(Listener listener);
    void stop(int listener);

private:
    std::int64_t count = 0;
    int next = 0;
    std::map<int, Listener> listeners;
};
