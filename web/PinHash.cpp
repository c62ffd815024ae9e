#include "web/PinHash.h"

#include <sodium.h>
#include <stdexcept>

#include "base/Text.h"

namespace {

void startSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not start");
    }
}

}  // namespace

bool PinHash::wellFormed(const std::string& pin) {
    return pin.size() >= 4 && pin.size() <= 12 && isAllDigits(pin);
}

std::string PinHash::of(const std::string& pin, bool cheap) {
    startSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(
            hash, pin.data(), pin.size(),
            cheap ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
            cheap ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        throw std::runtime_error("out of memory hashing a PIN");
    }
    return hash;
}

bool PinHash::matches(const std::string& hash, const std::string& pin) {
    startSodium();
    return crypto_pwhash_str_verify(hash.c_str(), pin.data(), pin.size()) == 0;
}
