#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "journal/DayRecord.h"
#include "journal/EntryChain.h"

namespace SQLite {
class Database;
}

// DayLines keeps, beside the chain, the lines of `days` for the days closed
// before a day's line was written with its close: computed once from their
// records when the journal is brought up to this version, each sealed by a
// hash of the day's last hash and the line, so that `days` reads them
// without reading the records, and `verify` checks them against the records.
class DayLines {
public:
    explicit DayLines(SQLite::Database& database);

    // Makes the table in a new database.
    static void create(SQLite::Database& database);
    // Computes and keeps the line of every closed day whose close carries
    // none, within the caller's transaction.
    static void computeForClosedDays(SQLite::Database& database);

    // Returns every kept line, by day, with the seal kept with it.
    std::map<std::int32_t, std::pair<DayLine, EntryChain::Hash>> all();

private:
    SQLite::Database& database;
};
