#pragma once

#include <string>

// WalCheck reads a journal's write-ahead log before SQLite does. SQLite
// takes a frame that fails its checksum for the torn end of a write cut
// short, and silently drops it and every frame after it: committed sales
// would vanish. A damaged frame is told from a torn end by what follows it:
// after a torn end come only frames of an older generation of the log,
// while after damage come frames of the current one. A damaged header is
// told by the frames that follow it.
class WalCheck {
public:
    // Throws JournalError when the log beside the database at `path` holds
    // damage that would drop committed frames. A reader beside a running
    // till may read a log while it is written: damage counts only once the
    // log reads the same twice.
    static void check(const std::string& path);
    // Returns whether there is a log beside the database at `path` that
    // SQLite may read pages from: not missing, empty, or only room made
    // ahead of it (see LogSpace).
    static bool holdsFrames(const std::string& path);

private:
    static void checkBytes(const std::string& path, const std::string& log);
};
