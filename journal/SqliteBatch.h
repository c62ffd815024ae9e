#pragma once

#include <memory>
#include <optional>
#include <string>

#include "journal/EntryTable.h"

namespace SQLite {
class Database;
}

// SqliteBatch is a batch of changes held in one SQLite transaction, begun at
// its first change, so that a batch of refusals and reads costs none; each
// change is a savepoint of its own, which a change that fails takes back
// alone. SQLite rolls back the whole transaction on some failures: the batch
// is then lost, and says why at every later change and at its commit.
//
// It keeps where the open day's chain ended when the batch and each change
// began, for the journal to go back to when they are taken back.
class SqliteBatch {
public:
    // Where the open day's chain ends: the open day's number (0 when none is
    // open) and the row of the day the chain ends with.
    struct ChainEnd {
        std::int32_t openNumber = 0;
        EntryTable::Day row;
    };

    explicit SqliteBatch(SQLite::Database& database);
    SqliteBatch(const SqliteBatch&) = delete;
    SqliteBatch& operator=(const SqliteBatch&) = delete;
    ~SqliteBatch();

    bool active() const;
    bool inChange() const;
    // Returns whether the batch's transaction has begun.
    bool begun() const;
    // Starts a batch with the chain ending at `end`.
    void begin(const ChainEnd& end);
    // Begins a change, and the batch's transaction first when it has none;
    // `end` is where the chain ends now. Throws JournalError when the batch
    // is lost or the transaction cannot begin.
    void beginChange(const ChainEnd& end);
    void releaseChange();
    // Takes the change back, or, when SQLite took back the whole batch,
    // marks the batch lost; returns where the chain ended then.
    ChainEnd undoChange(const std::string& why) noexcept;
    // Commits the batch; when it cannot, takes all of it back and throws
    // JournalError. Returns whether anything was written.
    bool commit();
    // Takes back what the batch wrote; returns where the chain ended before.
    ChainEnd rollback() noexcept;

private:
    struct Statements;

    SQLite::Database& database;
    std::unique_ptr<Statements> statements;
    bool running = false;
    bool transaction = false;
    std::optional<std::string> lost;
    ChainEnd atBegin;
    std::optional<ChainEnd> atChange;
};
