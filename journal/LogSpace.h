#pragma once

#include <cstdint>
#include <string>

// LogSpace makes room for a journal's write-ahead log before the till
// needs it. A log that grows pays for its growth at every sync (each commit
// must also record the file's new size, about twice the cost of
// overwriting the same blocks); a log written over blocks already on disk
// does not. The room is zeros, which SQLite reads as no log at all.
class LogSpace {
public:
    // The log's frames until SQLite checkpoints and begins it again at its
    // start: a header, then `pages` frames of a header and a page each.
    static std::int64_t bytesFor(std::int64_t pages, std::int64_t pageSize);

    // Writes zeros after the end of the log beside the journal at `path`
    // until it holds `bytes`, then syncs it; best effort: a disk that is
    // full or failing leaves the log as it was, and commits grow it.
    static void reserve(const std::string& path, std::int64_t bytes);

    // Returns whether `log` holds nothing but zeros: room, not a log.
    static bool isRoom(const std::string& log);
};
