#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Moment.h"
#include "base/ThreadSafety.h"
#include "journal/Journal.h"
#include "service/Commands.h"

// Sessions are the web till's signed-in devices, each known by a random
// 128-bit token that its cookie carries. A session ends after 12 hours
// unused, or 24 hours in all: a device left signed in on the floor does not
// stay so for good. They are kept in the journal as a hash of the token, so
// that a restart keeps devices signed in and a stolen journal signs no one
// in; a session's use is written at most every 10 minutes, and never waited
// for. Sessions are opened on the thread that answers a sign-in and read on
// the server's, so they are guarded here.
class Sessions {
public:
    using Clock = std::function<Moment()>;
    // Hands a session's change to whoever keeps them; must not wait.
    using Keeper = std::function<void(KeepSession)>;
    static constexpr Moment idleEnd = Moment{12} * 60 * 60;
    static constexpr Moment absoluteEnd = Moment{24} * 60 * 60;
    static constexpr Moment useWrittenEvery = Moment{10} * 60;

    // Starts with the sessions the journal kept, those still running.
    explicit Sessions(Clock clock, const std::vector<Journal::Session>& kept = {},
                      Keeper keeper = {});

    [[nodiscard]] Moment now() const;
    // Opens a session for a member of staff; returns its token.
    [[nodiscard]] std::string open(const std::string& staff);
    // Returns who holds the session of that token, and notes its use; a
    // session past its end is ended.
    [[nodiscard]] std::optional<std::string> holder(const std::string& token);
    void close(const std::string& token);

    // Returns the hash under which a token's session is kept.
    [[nodiscard]] static std::string hashOf(const std::string& token);

private:
    struct Session {
        std::string staff;
        Moment opened = 0;
        Moment used = 0;
        // When its use was last handed to the keeper.
        Moment written = 0;
    };

    [[nodiscard]] static bool over(const Session& session, Moment now);
    void keep(const std::string& hash, Session& session, bool ended) REQUIRES(mutex);

    Clock clock;
    Keeper keeper;
    Mutex mutex;
    // By the hash of each token: the tokens themselves are kept nowhere.
    std::map<std::string, Session> byHash GUARDED_BY(mutex);
};
