#include "journal/JournalAnchor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "journal/Journal.h"

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

// A rename is durable once the folder that holds the name is synced.
bool syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
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

JournalAnchor::JournalAnchor(const std::string& journal)
    : path(journal + "-head"), aside(path + "-new") {}

// Sealing the anchor allocates: an anchor memory could not seal lags.
void JournalAnchor::write(const Point& point) noexcept {
    try {
        (void)replace(point, false);
    } catch (...) {
        ::unlink(aside.c_str());
    }
}

void JournalAnchor::make(const Point& point) {
    if (!replace(point, true)) {
        throw JournalError("cannot write " + path + ", the anchor that tells a journal cut short: " +
                           std::strerror(errno));
    }
}

bool JournalAnchor::replace(const Point& point, bool durably) {
    unsigned char bytes[size];
    std::memcpy(bytes, magic, 8);
    integer(bytes + 8, point.day);
    integer(bytes + 16, point.entries);
    std::memcpy(bytes + 24, point.head.data(), 32);
    const EntryChain::Hash seal = sealOf(bytes);
    std::memcpy(bytes + size - 32, seal.data(), 32);
    const int file = ::open(aside.c_str(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (file < 0) {
        return false;
    }
    const bool whole = ::write(file, bytes, size) == static_cast<ssize_t>(size) &&
                       (!durably || ::fsync(file) == 0);
    if (::close(file) != 0 || !whole || ::rename(aside.c_str(), path.c_str()) != 0) {
        ::unlink(aside.c_str());
        return false;
    }
    return !durably || syncFolderOf(path);
}
