#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "base/Moment.h"
#include "base/ThreadSafety.h"

// SignInGate limits the PINs tried, so that guessing is slow and costs the
// till little: 5 wrong a minute from one address, 10 for one name from any
// address, 50 in all. Every try counts as wrong until it proves right, so a
// flood in flight is held by the limits too. An address that signed in
// within the last 24 hours is never held by the name's or the global limit,
// so a stranger cannot lock the staff out. The times are given, in seconds.
class SignInGate {
public:
    static constexpr int fromOneAddress = 5;
    static constexpr int forOneName = 10;
    static constexpr int inAll = 50;
    static constexpr Moment window = 60;
    static constexpr Moment trusted = Moment{24} * 60 * 60;

    // Counts a try of the name (as names compare) from the address; returns
    // the seconds to wait instead when a limit is reached.
    [[nodiscard]] std::optional<Moment> tryAt(Moment now, const std::string& peer,
                                              const std::string& name);
    // Takes back the try that proved right, and trusts its address.
    void succeeded(Moment now, const std::string& peer, const std::string& name);

private:
    using Tries = std::deque<Moment>;

    // Returns the seconds until the oldest of the tries in the window
    // leaves it, when there are `most` of them already.
    static std::optional<Moment> full(Tries& tries, Moment now, int most);
    static void forget(std::map<std::string, Tries>& tries, const std::string& key);
    static void sweep(std::map<std::string, Tries>& tries, Moment now);

    static constexpr std::size_t manyKept = 4096;

    Mutex mutex;
    std::map<std::string, Tries> byAddress GUARDED_BY(mutex);
    std::map<std::string, Tries> byName GUARDED_BY(mutex);
    Tries all GUARDED_BY(mutex);
    std::map<std::string, Moment> signedIn GUARDED_BY(mutex);
};
