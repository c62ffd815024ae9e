#include "journal/JournalAnchor.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char magic[8] = {'r', 'e', 's', 't', 'h', 'e', 'a', 'd'};
// magic, day, entries, head, and a hash of all that.
constexpr std::size_t size = 8 + 8 + 8 + 32 + 32;

void integer(unsigned char* at, std::int64_t value) {
    for (int byte = 0; byte < 8; ++byte) {
        at[byte] = static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (56 - 8 * byte));
    }
}

std::int64_t integerAt(const unsigned char* at) {
    std::uint64_t value = 0;
    for (int byte = 0; byte < 8; ++byte) {
        value = value << 8 | at[byte];
    }
    return static_cast<std::int64_t>(value);
}

EntryChain::Hash sealOf(const unsigned char* bytes) {
    return EntryChain::digest(std::string(reinterpret_cast<const char*>(bytes), size - 32));
}

}  // namespace

std::optional<JournalAnchor::Point> JournalAnchor::read(const std::string& journal) {
    const int file = ::open((journal + "-head").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0) {
        return std::nullopt;
    }
    unsigned char bytes[size];
    const ssize_t got = ::pread(file, bytes, size, 0);
    ::close(file);
    if (got != static_cast<ssize_t>(size) || std::memcmp(bytes, magic, 8) != 0 ||
        sealOf(bytes) != [&] {
            EntryChain::Hash stored{};
            std::memcpy(stored.data(), bytes + size - 32, 32);
            return stored;
        }()) {
        return std::nullopt;
    }
    Point point;
    point.day = static_cast<std::int32_t>(integerAt(bytes + 8));
    point.entries = integerAt(bytes + 16);
    std::memcpy(point.head.data(), bytes + 24, 32);
    return point;
}

JournalAnchor::JournalAnchor(const std::string& journal) : path(journal + "-head") {}

JournalAnchor::~JournalAnchor() {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

void JournalAnchor::write(const Point& point) {
    if (descriptor < 0) {
        descriptor =
            ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    }
    if (descriptor < 0) {
        return;
    }
    unsigned char bytes[size];
    std::memcpy(bytes, magic, 8);
    integer(bytes + 8, point.day);
    integer(bytes + 16, point.entries);
    std::memcpy(bytes + 24, point.head.data(), 32);
    const EntryChain::Hash seal = sealOf(bytes);
    std::memcpy(bytes + size - 32, seal.data(), 32);
    (void)!::pwrite(descriptor, bytes, size, 0);
}
