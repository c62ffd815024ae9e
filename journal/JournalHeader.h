#pragma once

#include <cstdint>
#include <string>

// JournalHeader reads what a file's first 100 bytes say it is before SQLite
// opens it: a file that is not a journal of ours never reaches SQLite, which
// might change it.
class JournalHeader {
public:
    // Throws JournalError when the file at `path` is not a journal, is
    // another program's database, was written by a newer version, or was cut
    // off. A missing or empty file passes: it becomes a new journal.
    static void check(const std::string& path);
    // The refusal of a journal of a version newer than this program reads.
    static std::string newerVersion(const std::string& path, std::int64_t version);
};
