#include "journal/JournalAnchor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "journal/Journal.h"

namespace {

// An anchor of version 7 held one point; later ones hold two, each with its
// count of writes after the point.
constexpr char firstMagic[8] = {'r', 'e', 's', 't', 'h', 'e', 'a', 'd'};
constexpr char magic[8] = {'r', 'e', 's', 't', 'h', 'd', 'v', '2'};
// magic, day, entries, head, the count of writes, and a hash of all that.
constexpr std::size_t firstSize = 8 + 8 + 8 + 32 + 32;
constexpr std::size_t size = firstSize + 8;

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

EntryChain::Hash sealOf(const unsigned char* bytes, std::size_t sealed) {
    return EntryChain::digest(std::string(reinterpret_cast<const char*>(bytes), sealed - 32));
}

// Each slot in a sector of its own.
constexpr std::size_t slotSize = 512;

// A point with the count of writes that put it in its slot.
struct Slot {
    JournalAnchor::Point point;
    std::uint64_t written = 0;
};

void encode(const JournalAnchor::Point& point, std::uint64_t written, unsigned char* bytes) {
    std::memcpy(bytes, magic, 8);
    integer(bytes + 8, point.day);
    integer(bytes + 16, point.entries);
    std::memcpy(bytes + 24, point.head.data(), 32);
    integer(bytes + 56, static_cast<std::int64_t>(written));
    const EntryChain::Hash seal = sealOf(bytes, size);
    std::memcpy(bytes + size - 32, seal.data(), 32);
}

std::optional<Slot> decode(const unsigned char* bytes, std::size_t got) {
    const bool first = got >= firstSize && std::memcmp(bytes, firstMagic, 8) == 0;
    const std::size_t sealed = first ? firstSize : size;
    EntryChain::Hash stored{};
    if (got < sealed || (!first && std::memcmp(bytes, magic, 8) != 0)) {
        return std::nullopt;
    }
    std::memcpy(stored.data(), bytes + sealed - 32, 32);
    if (sealOf(bytes, sealed) != stored) {
        return std::nullopt;
    }
    Slot slot;
    slot.point.day = static_cast<std::int32_t>(integerAt(bytes + 8));
    slot.point.entries = integerAt(bytes + 16);
    std::memcpy(slot.point.head.data(), bytes + 24, 32);
    slot.written = first ? 0 : static_cast<std::uint64_t>(integerAt(bytes + 56));
    return slot;
}

// The sound slots of the anchor at `path`: the first, then the second.
std::pair<std::optional<Slot>, std::optional<Slot>> slotsOf(const std::string& path) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0) {
        return {};
    }
    unsigned char bytes[slotSize + size] = {};
    const ssize_t got = ::pread(file, bytes, sizeof bytes, 0);
    ::close(file);
    const auto length = static_cast<std::size_t>(got < 0 ? 0 : got);
    return {decode(bytes, length),
            length > slotSize ? decode(bytes + slotSize, length - slotSize) : std::nullopt};
}

// Returns the slot written last: 0 or 1, or -1 when neither is sound.
int lastWritten(const std::pair<std::optional<Slot>, std::optional<Slot>>& slots) {
    if (!slots.second) {
        return slots.first ? 0 : -1;
    }
    return slots.first && slots.first->written > slots.second->written ? 0 : 1;
}

}  // namespace

std::optional<JournalAnchor::Point> JournalAnchor::read(const std::string& journal) {
    const auto slots = slotsOf(journal + "-head");
    switch (lastWritten(slots)) {
        case 0:
            return slots.first->point;
        case 1:
            return slots.second->point;
        default:
            return std::nullopt;
    }
}

JournalAnchor::JournalAnchor(const std::string& journal)
    : path(journal + "-head"), aside(path + "-new") {
    const auto slots = slotsOf(path);
    const int last = lastWritten(slots);
    if (last >= 0) {
        slot = 1 - last;
        written = (last == 0 ? slots.first : slots.second)->written;
    }
}

JournalAnchor::~JournalAnchor() {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

// Sealing a point allocates: a point memory could not seal is not written.
void JournalAnchor::write(const Point& point) noexcept {
    if (descriptor < 0) {
        descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
    }
    unsigned char bytes[size];
    try {
        encode(point, written + 1, bytes);
    } catch (...) {
        return;
    }
    if (descriptor >= 0 && ::pwrite(descriptor, bytes, size,
                                    static_cast<off_t>(slot) * static_cast<off_t>(slotSize)) ==
                               static_cast<ssize_t>(size)) {
        slot = 1 - slot;
        ++written;
    }
}

void JournalAnchor::make(const Point& point) {
    unsigned char bytes[slotSize + size] = {};
    encode(point, 1, bytes);
    encode(point, 0, bytes + slotSize);
    const int file = ::open(aside.c_str(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    const bool whole = file >= 0 &&
                       ::write(file, bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes) &&
                       ::fsync(file) == 0;
    const int failure = errno;
    if ((file >= 0 && ::close(file) != 0) || !whole || ::rename(aside.c_str(), path.c_str()) != 0 ||
        !syncFolderOf(path)) {
        const int why = whole ? errno : failure;
        ::unlink(aside.c_str());
        throw JournalError("cannot write " + path +
                           ", the anchor that tells a journal cut short: " + std::strerror(why));
    }
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
    slot = 1;
    written = 1;
}
