#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/Moment.h"
#include "base/ThreadSafety.h"

// Sessions are the web till's signed-in devices, each known by a random
// 128-bit token that its cookie carries, kept in memory only. Sessions are
// opened on the thread that answers a sign-in and read on the server's, so
// they are guarded here.
class Sessions {
public:
    using Clock = std::function<Moment()>;

    explicit Sessions(Clock clock);

    [[nodiscard]] Moment now() const;
    // Opens a session for a member of staff; returns its token.
    [[nodiscard]] std::string open(const std::string& staff);
    // Returns who holds the session of that token.
    [[nodiscard]] std::optional<std::string> holder(const std::string& token) const;
    void close(const std::string& token);

private:
    Clock clock;
    mutable Mutex mutex;
    std::map<std::string, std::string> tokens GUARDED_BY(mutex);
};
