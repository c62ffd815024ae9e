#include "journal/SqliteBatch.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include "journal/Journal.h"

// The statements a batch runs again and again, prepared once.
struct SqliteBatch::Statements {
    explicit Statements(SQLite::Database& database)
        : begin(database, "BEGIN IMMEDIATE"),
          commit(database, "COMMIT"),
          rollback(database, "ROLLBACK"),
          savepoint(database, "SAVEPOINT change"),
          release(database, "RELEASE change"),
          rollbackTo(database, "ROLLBACK TO change") {}

    // A statement left unreset would hold its transaction open, whatever
    // failed: SQLite, or memory for the words of its failure.
    static void run(SQLite::Statement& statement) {
        try {
            statement.exec();
        } catch (...) {
            statement.tryReset();
            throw;
        }
        statement.tryReset();
    }

    SQLite::Statement begin;
    SQLite::Statement commit;
    SQLite::Statement rollback;
    SQLite::Statement savepoint;
    SQLite::Statement release;
    SQLite::Statement rollbackTo;
};

SqliteBatch::SqliteBatch(SQLite::Database& database) : database(database) {}

SqliteBatch::~SqliteBatch() = default;

bool SqliteBatch::active() const { return running; }

bool SqliteBatch::inChange() const { return atChange.has_value(); }

bool SqliteBatch::begun() const { return transaction; }

void SqliteBatch::begin(const ChainEnd& end) {
    running = true;
    transaction = false;
    lost.reset();
    atBegin = end;
    atChange.reset();
}

void SqliteBatch::beginChange(const ChainEnd& end) {
    if (lost) {
        throw JournalError(*lost);
    }
    try {
        if (!statements) {
            statements = std::make_unique<Statements>(database);
        }
        if (!transaction) {
            Statements::run(statements->begin);
            transaction = true;
        }
        Statements::run(statements->savepoint);
    } catch (const SQLite::Exception& failure) {
        throw JournalError(failure.what());
    }
    atChange = end;
}

void SqliteBatch::releaseChange() {
    try {
        Statements::run(statements->release);
    } catch (const SQLite::Exception& failure) {
        lost = failure.what();
        atChange.reset();
        throw JournalError(failure.what());
    }
    atChange.reset();
}

SqliteBatch::ChainEnd SqliteBatch::undoChange(const std::string& why) noexcept {
    const ChainEnd end = atChange.value_or(atBegin);
    atChange.reset();
    if (sqlite3_get_autocommit(database.getHandle()) != 0) {
        lost = why;
        return atBegin;
    }
    try {
        Statements::run(statements->rollbackTo);
        Statements::run(statements->release);
    } catch (const SQLite::Exception& failure) {
        lost = failure.what();
        return atBegin;
    }
    return end;
}

bool SqliteBatch::commit() {
    if (!transaction) {
        running = false;
        return false;
    }
    std::optional<std::string> failure = lost;
    if (!failure) {
        try {
            Statements::run(statements->commit);
        } catch (const SQLite::Exception& error) {
            failure = error.what();
        }
    }
    if (failure) {
        rollback();
        throw JournalError(*failure);
    }
    running = false;
    transaction = false;
    return true;
}

SqliteBatch::ChainEnd SqliteBatch::rollback() noexcept {
    if (transaction && sqlite3_get_autocommit(database.getHandle()) == 0) {
        try {
            Statements::run(statements->rollback);
        } catch (const SQLite::Exception&) {
            // SQLite rolls back on closing, or the next transaction fails.
        }
    }
    running = false;
    transaction = false;
    atChange.reset();
    return atBegin;
}
