#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/EntryTable.h"

struct sqlite3;

namespace SQLite {
class Database;
}

// SqliteConnection is a journal's file as SQLite opens it, for a till or for
// a reader. For a till it holds the file's lock and its anchor, makes the
// file when missing, brings an older version up to this one, and makes room
// for the log; for a reader it opens the file read-only, from a private copy
// or as an unchanging file where it must, and brings an older version up in
// a copy in memory. A file that is not a sound journal is refused with a
// JournalError and left as it was.
class SqliteConnection {
public:
    enum class Access {
        // The till's: makes the file and its folder when missing, and holds
        // the file's lock for as long as it lives.
        till,
        // A reader's, beside a running till or none, on a read-only copy
        // too: the file must exist.
        reading,
        // A reader that checks: like a reader's, but a journal of this
        // version that holds a day and has lost its anchor is refused.
        checking,
        // The till's, for a check that writes a new anchor after it: a
        // missing anchor is no refusal.
        reanchoring,
    };

    SqliteConnection(std::string path, Access access, const std::string& vfs);
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    SQLite::Database& database();
    sqlite3* handle();
    const std::string& path() const;

    // Throws JournalError when the file was moved or deleted under the till,
    // after checkpointing what its log holds into it; and at every later call.
    void checkFile();
    // Records where the chain ends after a commit. Never fails: what the
    // journal holds is done.
    void anchor(const EntryTable::Day& row) noexcept;
    // Makes the anchor anew, durably, where the chain ends now; throws
    // JournalError when it cannot.
    void makeAnchor();
    // Returns what bringing the journal up to this version changed that its
    // owner should hear of.
    const std::vector<std::string>& upgradeNotes() const;

private:
    struct Files;

    void checkTheFile(bool forTill);
    void openForTill(const std::string& vfs);
    void openForReading(const std::string& vfs);
    void checkVersion();
    void checkAnchor(Access access);
    void checkOneName() const;

    std::string journalPath;
    // The file itself, the journal's path resolved when it is a link.
    std::string realPath;
    std::unique_ptr<Files> files;
    // Set once the file was found moved or deleted: nothing more is written.
    bool moved = false;
    // The version the file had when opened; 0 for a file made now.
    std::int32_t foundVersion = 0;
    std::vector<std::string> notes;
};
