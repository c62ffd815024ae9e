#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Moment.h"

// Sessions are the web till's signed-in devices, each known by a random
// 128-bit token that its cookie carries, kept in memory only; and the wrong
// PINs each address tried, so that five within a minute lock it out for a
// minute.
class Sessions {
public:
    using Clock = std::function<Moment()>;
    static constexpr int wrongPinsAllowed = 5;
    static constexpr Moment lockout = 60;

    explicit Sessions(Clock clock);

    // Returns true when the address may try a PIN now.
    bool mayTry(const std::string& peer) const;
    // Notes a wrong PIN from the address.
    void wrongPin(const std::string& peer);
    // Opens a session for a member of staff; returns its token.
    std::string open(const std::string& staff);
    // Returns who holds the session of that token.
    std::optional<std::string> holder(const std::string& token) const;
    void close(const std::string& token);

private:
    Clock clock;
    std::map<std::string, std::string> tokens;
    std::map<std::string, std::vector<Moment>> wrong;
};
