#include "web/Sessions.h"

#include <algorithm>
#include <sodium.h>
#include <utility>

Sessions::Sessions(Clock clock) : clock(std::move(clock)) {}

bool Sessions::mayTry(const std::string& peer) const {
    const auto found = wrong.find(peer);
    if (found == wrong.end()) {
        return true;
    }
    const Moment now = clock();
    const auto recent = std::count_if(found->second.begin(), found->second.end(),
                                      [&](Moment at) { return now - at < lockout; });
    return recent < wrongPinsAllowed;
}

void Sessions::wrongPin(const std::string& peer) {
    std::vector<Moment>& times = wrong[peer];
    const Moment now = clock();
    times.erase(
        std::remove_if(times.begin(), times.end(), [&](Moment at) { return now - at >= lockout; }),
        times.end());
    times.push_back(now);
}

std::string Sessions::open(const std::string& staff) {
    unsigned char random[16];
    randombytes_buf(random, sizeof random);
    char hex[2 * sizeof random + 1];
    sodium_bin2hex(hex, sizeof hex, random, sizeof random);
    tokens[hex] = staff;
    return hex;
}

std::optional<std::string> Sessions::holder(const std::string& token) const {
    const auto found = tokens.find(token);
    return found == tokens.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void Sessions::close(const std::string& token) { tokens.erase(token); }
