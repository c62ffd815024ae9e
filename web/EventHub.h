#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// EventHub hears of each new version of the day and tells whoever listens,
// such as the event streams of the devices, each under the session that
// opened it, so that signing out ends that session's streams. It lives on
// the server's thread.
class EventHub {
public:
    using Listener = std::function<void(std::int64_t change)>;
    using Ending = std::function<void()>;

    [[nodiscard]] std::int64_t change() const;
    // Tells every listener of the day's new version.
    void changed(std::int64_t version);
    // Returns a number by which the listener is stopped. `ended` is called
    // when its session ends; a session of "" (no sign-in) never does.
    [[nodiscard]] int listen(std::string session, Listener told, Ending ended);
    void stop(int listener);
    // Ends, and stops, every listener of the session.
    void endSession(const std::string& session);

private:
    struct Listening {
        std::string session;
        Listener told;
        Ending ended;
    };

    std::int64_t count = 0;
    int next = 0;
    std::map<int, Listening> listeners;
};
