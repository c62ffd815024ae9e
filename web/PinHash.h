#pragma once

#include <string>

// PinHash keeps staff PINs as libsodium's Argon2id strings, never the PINs
// themselves.
class PinHash {
public:
    // Returns true for a PIN of 4 to 12 digits.
    static bool wellFormed(const std::string& pin);
    // Returns the hash of a PIN, salted; `cheap` hashes with the least work
    // libsodium allows, for tests alone.
    static std::string of(const std::string& pin, bool cheap = false);
    // Returns true when the PIN is the one hashed.
    static bool matches(const std::string& hash, const std::string& pin);
};
