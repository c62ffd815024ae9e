#include "journal/WalCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <utility>

#include "journal/Journal.h"
#include "journal/LogSpace.h"

namespace {

constexpr std::size_t headerSize = 32;
constexpr std::size_t frameHeaderSize = 24;

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t byte = 0; byte < 4; ++byte) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + byte]);
    }
    return value;
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t byte = 4; byte-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + byte]);
    }
    return value;
}

// SQLite's WAL checksum: two running sums over pairs of 32-bit words.
struct Checksum {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    bool bigEndianWords = true;

    void add(const std::string& bytes, std::size_t at, std::size_t length) {
        for (std::size_t word = at; word + 8 <= at + length; word += 8) {
            const std::uint32_t a =
                bigEndianWords ? bigEndian(bytes, word) : littleEndian(bytes, word);
            const std::uint32_t b =
                bigEndianWords ? bigEndian(bytes, word + 4) : littleEndian(bytes, word + 4);
            first += a + second;
            second += b + first;
        }
    }
    bool matches(const std::string& bytes, std::size_t at) const {
        return bigEndian(bytes, at) == first && bigEndian(bytes, at + 4) == second;
    }
};

// Returns up to `most` bytes from the start of the file; none when it is
// missing.
std::string bytesOf(const std::string& path, std::size_t most = std::string::npos) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    const auto size = static_cast<std::size_t>(in.tellg());
    std::string bytes(std::min(size, most), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool isPageSize(std::uint32_t size) {
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

// The page size the database's own header gives, for a log whose header
// cannot be trusted.
std::uint32_t databasePageSize(const std::string& path) {
    const std::string header = bytesOf(path, 100);
    if (header.size() < 18) {
        return 4096;
    }
    const std::uint32_t size = static_cast<std::uint32_t>(static_cast<unsigned char>(header[16]))
                                   << 8 |
                               static_cast<unsigned char>(header[17]);
    return size == 1 ? 65536 : size;
}

[[noreturn]] void damaged(const std::string& path, const std::string& what) {
    throw JournalError("journal " + path + " is damaged: its write-ahead log " + what);
}

}  // namespace

void WalCheck::check(const std::string& path) {
    std::string log = bytesOf(path + "-wal");
    for (int tries = 0;; ++tries) {
        try {
            checkBytes(path, log);
            return;
        } catch (const JournalError&) {
            std::string again = bytesOf(path + "-wal");
            if (again == log || tries == 10) {
                throw;
            }
            log = std::move(again);
        }
    }
}

// A log's header is never zeros: its first block tells, unless it is room.
bool WalCheck::holdsFrames(const std::string& path) {
    const std::string start = bytesOf(path + "-wal", 4096);
    if (start.empty()) {
        return false;
    }
    return !LogSpace::isRoom(start) || !LogSpace::isRoom(bytesOf(path + "-wal"));
}

void WalCheck::checkBytes(const std::string& path, const std::string& log) {
    if (log.size() < headerSize || LogSpace::isRoom(log)) {
        return;
    }
    const std::uint32_t magic = bigEndian(log, 0);
    Checksum sum;
    sum.bigEndianWords = (magic & 1) != 0;
    sum.add(log, 0, 24);
    const std::uint32_t pageSize = bigEndian(log, 8);
    const bool sound = (magic & ~1U) == 0x377f0682 && bigEndian(log, 4) == 3007000 &&
                       isPageSize(pageSize) && sum.matches(log, 24);
    const std::size_t frameSize = frameHeaderSize + (sound ? pageSize : databasePageSize(path));
    if (!sound) {
        if (log.size() >= headerSize + frameSize) {
            damaged(path, "has a damaged header before its frames");
        }
        return;
    }
    const std::uint32_t salt1 = bigEndian(log, 16);
    const std::uint32_t salt2 = bigEndian(log, 20);
    bool broken = false;
    for (std::size_t at = headerSize; at + frameSize <= log.size(); at += frameSize) {
        const bool current = bigEndian(log, at + 8) == salt1 && bigEndian(log, at + 12) == salt2;
        if (broken) {
            if (current) {
                damaged(path, "has a damaged frame before frames that follow it");
            }
            continue;
        }
        Checksum next = sum;
        next.add(log, at, 8);
        next.add(log, at + frameHeaderSize, frameSize - frameHeaderSize);
        if (!current || !next.matches(log, at + 16)) {
            broken = true;
        } else {
            sum = next;
        }
    }
}
