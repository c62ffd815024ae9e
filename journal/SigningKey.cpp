#include "journal/SigningKey.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sodium.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Hex.h"

namespace {

namespace fs = std::filesystem;

// The file holds the 64 bytes of the secret key, which hold the public one.
constexpr std::size_t fileSize = crypto_sign_SECRETKEYBYTES;

std::string because(const std::string& file) {
    return "the signing key " + file + ": " + std::strerror(errno);
}

bool readKey(const std::string& file, unsigned char* secret) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        if (errno == ENOENT) {
            return false;
        }
        throw std::runtime_error("cannot read " + because(file));
    }
    const ssize_t got = ::read(descriptor, secret, fileSize);
    ::close(descriptor);
    if (got != static_cast<ssize_t>(fileSize)) {
        throw std::runtime_error("the signing key " + file + " is not a key: it is " +
                                 std::to_string(got < 0 ? 0 : got) + " bytes, not 64");
    }
    return true;
}

// Written aside and linked into place, so that two tills starting at once
// share one key, and no till ever reads half of one.
void writeKey(const std::string& file, const unsigned char* secret) {
    std::error_code error;
    const fs::path folder = fs::path(file).parent_path();
    if (!folder.empty() && !fs::exists(folder, error)) {
        fs::create_directories(folder, error);
        if (error) {
            throw std::runtime_error("cannot make the folder of the signing key " + file + ": " +
                                     error.message());
        }
        fs::permissions(folder, fs::perms::owner_all, error);
    }
    const std::string aside = file + "-" + std::to_string(::getpid());
    const int descriptor =
        ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        throw std::runtime_error("cannot make " + because(file));
    }
    const bool whole = ::write(descriptor, secret, fileSize) == static_cast<ssize_t>(fileSize) &&
                       ::fsync(descriptor) == 0;
    ::close(descriptor);
    const bool linked = whole && (::link(aside.c_str(), file.c_str()) == 0 || errno == EEXIST);
    const int failure = errno;
    ::unlink(aside.c_str());
    if (!linked) {
        errno = failure;
        throw std::runtime_error("cannot make " + because(file));
    }
}

}  // namespace

SigningKey SigningKey::at(const std::string& file) {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium cannot start");
    }
    SigningKey made;
    if (!readKey(file, made.secret.data())) {
        std::array<unsigned char, fileSize> secret{};
        crypto_sign_keypair(made.key.data(), secret.data());
        writeKey(file, secret.data());
        sodium_memzero(secret.data(), secret.size());
        if (!readKey(file, made.secret.data())) {
            throw std::runtime_error("cannot read " + because(file));
        }
    }
    crypto_sign_ed25519_sk_to_pk(made.key.data(), made.secret.data());
    return made;
}

std::string SigningKey::defaultFile() {
    if (const char* service = std::getenv("CONFIGURATION_DIRECTORY"); service && *service) {
        return std::string(service) + "/signing.key";
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/restaurant/signing.key";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/restaurant/signing.key";
}

const SigningKey::PublicKey& SigningKey::publicKey() const { return key; }

SigningKey::Signature SigningKey::sign(const std::string& message) const {
    Signature signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                         secret.data());
    return signature;
}

bool SigningKey::verify(const PublicKey& key, const std::string& message,
                        const Signature& signature) {
    return sodium_init() >= 0 &&
           crypto_sign_verify_detached(signature.data(),
                                       reinterpret_cast<const unsigned char*>(message.data()),
                                       message.size(), key.data()) == 0;
}

std::string SigningKey::hexOf(const PublicKey& key) { return ::hexOf(key.data(), key.size()); }

std::optional<SigningKey::PublicKey> SigningKey::keyOfHex(const std::string& hex) {
    PublicKey key{};
    std::size_t length = 0;
    if (sodium_hex2bin(key.data(), key.size(), hex.data(), hex.size(), nullptr, &length, nullptr) !=
            0 ||
        length != key.size()) {
        return std::nullopt;
    }
    return key;
}

std::string SigningKey::fingerprintOf(const PublicKey& key) {
    std::array<unsigned char, 16> hash{};
    crypto_generichash(hash.data(), hash.size(), key.data(), key.size(), nullptr, 0);
    const std::string hex = ::hexOf(hash.data(), hash.size());
    std::string grouped;
    for (std::size_t at = 0; at < hex.size(); at += 4) {
        grouped += (at == 0 ? "" : ":") + hex.substr(at, 4);
    }
    return grouped;
}

bool SigningKey::matches(const PublicKey& key, const std::string& given) {
    std::string digits;
    for (const char c : given) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (c != ':' && c != ' ' && c != '-') {
            return false;
        }
    }
    std::string expected;
    for (const char c : fingerprintOf(key)) {
        expected += c == ':' ? "" : std::string(1, c);
    }
    return digits == expected || digits == hexOf(key);
}
