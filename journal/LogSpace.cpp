#include "journal/LogSpace.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t logHeader = 32;
constexpr std::int64_t frameHeader = 24;

}  // namespace

std::int64_t LogSpace::bytesFor(std::int64_t pages, std::int64_t pageSize) {
    return logHeader + pages * (frameHeader + pageSize);
}

void LogSpace::reserve(const std::string& path, std::int64_t bytes) {
    const int log = ::open((path + "-wal").c_str(),
                           O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (log < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(log, &status) == 0 && status.st_size < bytes) {
        static const std::array<char, 65536> zeros{};
        std::int64_t at = status.st_size;
        while (at < bytes) {
            const auto chunk = static_cast<std::size_t>(
                std::min<std::int64_t>(bytes - at, static_cast<std::int64_t>(zeros.size())));
            const ssize_t written = ::pwrite(log, zeros.data(), chunk, at);
            if (written <= 0) {
                break;
            }
            at += written;
        }
        ::fdatasync(log);
    }
    ::close(log);
}

bool LogSpace::isRoom(const std::string& log) {
    return std::all_of(log.begin(), log.end(), [](char byte) { return byte == 0; });
}
