#include "web/Sessions.h"

#include <iterator>
#include <sodium.h>
#include <utility>

#include "base/Hex.h"

Sessions::Sessions(Clock clock, const std::vector<Journal::Session>& kept, Keeper keeper)
    : clock(std::move(clock)), keeper(std::move(keeper)) {
    const Moment now = this->clock();
    MutexLock lock(mutex);
    for (const Journal::Session& session : kept) {
        Session running{session.staff, session.opened, session.used, session.used};
        if (over(running, now)) {
            keep(session.tokenHash, running, true);
        } else {
            byHash.emplace(session.tokenHash, running);
        }
    }
}

Moment Sessions::now() const { return clock(); }

std::string Sessions::hashOf(const std::string& token) {
    unsigned char hash[crypto_generichash_BYTES];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(token.data()),
                       token.size(), nullptr, 0);
    return hexOf(hash, sizeof hash);
}

// Sessions past their end go as new ones open, so that they never pile up.
std::string Sessions::open(const std::string& staff) {
    unsigned char random[16];
    randombytes_buf(random, sizeof random);
    std::string token = hexOf(random, sizeof random);
    const Moment now = clock();
    MutexLock lock(mutex);
    for (auto at = byHash.begin(); at != byHash.end();) {
        if (over(at->second, now)) {
            keep(at->first, at->second, true);
            at = byHash.erase(at);
        } else {
            at = std::next(at);
        }
    }
    const std::string hash = hashOf(token);
    Session& made = byHash[hash] = {staff, now, now, now};
    keep(hash, made, false);
    return token;
}

std::optional<std::string> Sessions::holder(const std::string& token) {
    const Moment now = clock();
    const std::string hash = hashOf(token);
    MutexLock lock(mutex);
    const auto found = byHash.find(hash);
    if (found == byHash.end()) {
        return std::nullopt;
    }
    if (over(found->second, now)) {
        keep(hash, found->second, true);
        byHash.erase(found);
        return std::nullopt;
    }
    found->second.used = now;
    if (now - found->second.written >= useWrittenEvery) {
        keep(hash, found->second, false);
    }
    return found->second.staff;
}

void Sessions::close(const std::string& token) {
    const std::string hash = hashOf(token);
    MutexLock lock(mutex);
    const auto found = byHash.find(hash);
    if (found != byHash.end()) {
        keep(hash, found->second, true);
        byHash.erase(found);
    }
}

bool Sessions::over(const Session& session, Moment now) {
    return now - session.used >= idleEnd || now - session.opened >= absoluteEnd;
}

// A session that cannot be written stays signed in until the restart.
void Sessions::keep(const std::string& hash, Session& session, bool ended) {
    session.written = session.used;
    if (keeper) {
        try {
            keeper({hash, session.staff, session.opened, session.used, ended});
        } catch (...) {
            // Written at its next use, or lost with a restart.
        }
    }
}
