#pragma once

#include <memory>
#include <string>

#include "journal/EntryTable.h"
#include "journal/SigningKey.h"
#include "journal/SqliteBatch.h"
#include "journal/SqliteConnection.h"
#include "journal/SqliteJournal.h"

// SqliteJournal::Connection is the journal's file and what works on it: the
// table of entries, the batch, where the open day's chain ends, and the key
// that signs its heads; for SqliteJournal's source alone.
struct SqliteJournal::Connection {
    // What a failed write says when SQLite said nothing more.
    static constexpr const char* halfway = "a change failed halfway";

    Connection(const std::string& path, Access access, const std::string& vfs)
        : file(path, access, vfs),
          reader(access == Access::reading || access == Access::checking),
          database(file.database()),
          table(std::make_unique<EntryTable>(database)),
          batch(std::make_unique<SqliteBatch>(database)) {}

    SqliteConnection file;
    // Reads beside a till that appends meanwhile.
    bool reader;
    SQLite::Database& database;
    std::unique_ptr<EntryTable> table;
    std::unique_ptr<SqliteBatch> batch;
    // Where the open day's chain ends, as the journal holds it.
    SqliteBatch::ChainEnd end;
    // Why the last write failed, for the batch it loses.
    std::string failure = halfway;
    std::shared_ptr<const SigningKey> key;
};
