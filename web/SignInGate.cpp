#include "web/SignInGate.h"

#include <algorithm>
#include <initializer_list>

std::optional<Moment> SignInGate::tryAt(Moment now, const std::string& peer,
                                        const std::string& name) {
    MutexLock lock(mutex);
    sweep(byAddress, now);
    sweep(byName, now);
    Tries& address = byAddress[peer];
    Tries& named = byName[name];
    std::optional<Moment> wait = full(address, now, fromOneAddress);
    const auto trust = signedIn.find(peer);
    if (trust == signedIn.end() || now - trust->second >= trusted) {
        for (const std::optional<Moment> limit :
             {full(named, now, forOneName), full(all, now, inAll)}) {
            if (limit && (!wait || *limit > *wait)) {
                wait = limit;
            }
        }
    }
    if (wait) {
        return wait;
    }
    address.push_back(now);
    named.push_back(now);
    all.push_back(now);
    return std::nullopt;
}

void SignInGate::succeeded(Moment now, const std::string& peer, const std::string& name) {
    MutexLock lock(mutex);
    forget(byAddress, peer);
    forget(byName, name);
    if (!all.empty()) {
        all.pop_back();
    }
    signedIn[peer] = now;
    for (auto at = signedIn.begin(); at != signedIn.end();) {
        at = now - at->second >= trusted ? signedIn.erase(at) : std::next(at);
    }
}

std::optional<Moment> SignInGate::full(Tries& tries, Moment now, int most) {
    while (!tries.empty() && now - tries.front() >= window) {
        tries.pop_front();
    }
    if (tries.size() < static_cast<std::size_t>(most)) {
        return std::nullopt;
    }
    return std::max<Moment>(1, tries.front() + window - now);
}

void SignInGate::forget(std::map<std::string, Tries>& tries, const std::string& key) {
    const auto found = tries.find(key);
    if (found != tries.end() && !found->second.empty()) {
        found->second.pop_back();
    }
}

// Strangers may try endless names and addresses: those with no try left in
// the window go, once there are many.
void SignInGate::sweep(std::map<std::string, Tries>& tries, Moment now) {
    if (tries.size() < manyKept) {
        return;
    }
    for (auto at = tries.begin(); at != tries.end();) {
        const bool stale = at->second.empty() || now - at->second.back() >= window;
        at = stale ? tries.erase(at) : std::next(at);
    }
}
