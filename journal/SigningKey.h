#pragma once

#include <array>
#include <optional>
#include <string>

// SigningKey is the till's Ed25519 key pair, which signs the head of each
// day as it closes: a history rewritten from the journal's file alone, its
// chain recomputed, then fails its check unless this key was taken too. The
// secret key lives in a file of its own, owner-only, kept apart from the
// journal's folder; it is made at the first start.
class SigningKey {
public:
    using PublicKey = std::array<unsigned char, 32>;
    using Signature = std::array<unsigned char, 64>;

    // Reads the key in `file`, or makes it there, owner-only, with its
    // folder, when there is none; throws std::runtime_error saying why
    // when it can do neither.
    static SigningKey at(const std::string& file);
    // Returns where the key is kept when no file is given: in the folder
    // systemd gives the service, else in the user's configuration folder.
    static std::string defaultFile();

    const PublicKey& publicKey() const;
    [[nodiscard]] Signature sign(const std::string& message) const;

    // Returns true when `signature` is `key`'s over `message`.
    [[nodiscard]] static bool verify(const PublicKey& key, const std::string& message,
                                     const Signature& signature);
    // Returns the key as hex, and the key read back from hex.
    static std::string hexOf(const PublicKey& key);
    static std::optional<PublicKey> keyOfHex(const std::string& hex);
    // Returns the key's fingerprint, as an accountant copies it: 32 hex
    // digits of its hash, in groups of four.
    static std::string fingerprintOf(const PublicKey& key);
    // Returns true when `given` is the key's fingerprint, whatever its
    // separators and letter case.
    [[nodiscard]] static bool matches(const PublicKey& key, const std::string& given);

private:
    SigningKey() = default;

    std::array<unsigned char, 64> secret{};
    PublicKey key{};
};
