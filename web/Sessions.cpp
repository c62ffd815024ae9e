#include "web/Sessions.h"

#include <sodium.h>
#include <utility>

Sessions::Sessions(Clock clock) : clock(std::move(clock)) {}

Moment Sessions::now() const { return clock(); }

std::string Sessions::open(const std::string& staff) {
    unsigned char random[16];
    randombytes_buf(random, sizeof random);
    char hex[2 * sizeof random + 1];
    sodium_bin2hex(hex, sizeof hex, random, sizeof random);
    MutexLock lock(mutex);
    tokens[hex] = staff;
    return hex;
}

std::optional<std::string> Sessions::holder(const std::string& token) const {
    MutexLock lock(mutex);
    const auto found = tokens.find(token);
    return found == tokens.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void Sessions::close(const std::string& token) {
    MutexLock lock(mutex);
    tokens.erase(token);
}
