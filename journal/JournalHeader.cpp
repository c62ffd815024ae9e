#include "journal/JournalHeader.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "journal/Journal.h"
#include "journal/JournalSchema.h"
#include "journal/WalCheck.h"

namespace {

std::uint32_t bigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < count; ++at) {
        value = value << 8 | bytes[at];
    }
    return value;
}

}  // namespace

std::string JournalHeader::newerVersion(const std::string& path, std::int64_t version) {
    return path + " was written by a newer restaurant (journal version " + std::to_string(version) +
           "; this one reads up to " + std::to_string(JournalSchema::version) + ")";
}

void JournalHeader::check(const std::string& path) {
    std::array<unsigned char, 100> header{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    const auto length = static_cast<std::size_t>(in.gcount());
    if (length == 0) {
        return;  // a new, empty file
    }
    const std::string notJournal = path + " is not a restaurant journal";
    if (length < 16 || std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
        throw JournalError(notJournal);
    }
    const std::string damaged = "journal " + path + " is damaged";
    if (length < header.size()) {
        throw JournalError(damaged + ": it is cut short");
    }
    if (static_cast<std::int32_t>(bigEndian(&header[68], 4)) != JournalSchema::applicationId) {
        throw JournalError(notJournal + ": it is another program's SQLite database");
    }
    const std::uint32_t version = bigEndian(&header[60], 4);
    if (version > static_cast<std::uint32_t>(JournalSchema::version)) {
        throw JournalError(newerVersion(path, version));
    }
    // The page count in the header holds when the change counters agree; a
    // file shorter than it says was cut off, unless its WAL still holds the
    // pages a checkpoint had not yet written.
    const std::uint32_t pageSize =
        bigEndian(&header[16], 2) == 1 ? 65536 : bigEndian(&header[16], 2);
    const std::uint32_t pages = bigEndian(&header[28], 4);
    const bool walHoldsPages = WalCheck::holdsFrames(path);
    if (pages != 0 && bigEndian(&header[24], 4) == bigEndian(&header[92], 4) && !walHoldsPages &&
        std::filesystem::file_size(path) < std::uintmax_t{pageSize} * pages) {
        throw JournalError(damaged + ": it is shorter than it says, cut off");
    }
}
