#include "web/Sessions.h"

#include <iterator>
#include <sodium.h>
#include <utility>

Sessions::Sessions(Clock clock) : clock(std::move(clock)) {}

Moment Sessions::now() const { return clock(); }

// Sessions past their end go as new ones open, so that they never pile up.
std::string Sessions::open(const std::string& staff) {
    unsigned char random[16];
    randombytes_buf(random, sizeof random);
    char hex[2 * sizeof random + 1];
    sodium_bin2hex(hex, sizeof hex, random, sizeof random);
    const Moment now = clock();
    MutexLock lock(mutex);
    for (auto at = tokens.begin(); at != tokens.end();) {
        at = over(at->second, now) ? tokens.erase(at) : std::next(at);
    }
    tokens[hex] = {staff, now, now};
    return hex;
}

std::optional<std::string> Sessions::holder(const std::string& token) {
    const Moment now = clock();
    MutexLock lock(mutex);
    const auto found = tokens.find(token);
    if (found == tokens.end()) {
        return std::nullopt;
    }
    if (over(found->second, now)) {
        tokens.erase(found);
        return std::nullopt;
    }
    found->second.used = now;
    return found->second.staff;
}

void Sessions::close(const std::string& token) {
    MutexLock lock(mutex);
    tokens.erase(token);
}

bool Sessions::over(const Session& session, Moment now) {
    return now - session.used >= idleEnd || now - session.opened >= absoluteEnd;
}
