#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/Moment.h"
#include "base/ThreadSafety.h"

// Sessions are the web till's signed-in devices, each known by a random
// 128-bit token that its cookie carries, kept in memory only. A session ends
// after 12 hours unused, or 24 hours in all: a device left signed in on the
// floor does not stay so for good. Sessions are
// opened on the thread that answers a sign-in and read on the server's, so
// they are guarded here.
class Sessions {
public:
    using Clock = std::function<Moment()>;
    static constexpr Moment idleEnd = Moment{12} * 60 * 60;
    static constexpr Moment absoluteEnd = Moment{24} * 60 * 60;

    explicit Sessions(Clock clock);

    [[nodiscard]] Moment now() const;
    // Opens a session for a member of staff; returns its token.
    [[nodiscard]] std::string open(const std::string& staff);
    // Returns who holds the session of that token, and notes its use; a
    // session past its end is ended.
    [[nodiscard]] std::optional<std::string> holder(const std::string& token);
    void close(const std::string& token);

private:
    struct Session {
        std::string staff;
        Moment opened = 0;
        Moment used = 0;
    };

    [[nodiscard]] static bool over(const Session& session, Moment now);

    Clock clock;
    Mutex mutex;
    std::map<std::string, Session> tokens GUARDED_BY(mutex);
};
