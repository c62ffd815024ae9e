#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/EntryTable.h"
#include "journal/JournalEntry.h"

namespace SQLite {
class Database;
}

// DayHistory reads a journal's days back and proves them sound. A day read
// whole has its chain verified: it starts where the day before it ended,
// holds every entry in order with the hash it was written with, and ends at
// the hash its row keeps; and its entries must make a day. The list of days
// reads each closed day's line from its close, checked against the day's
// last hash, or from the sealed table of older lines, so that it costs one
// hash a day whatever the days hold. Damage throws JournalError, naming the
// first damaged day and record.
class DayHistory {
public:
    // `path` names the journal in what damage says.
    DayHistory(SQLite::Database& database, EntryTable& table, std::string path);

    // Returns the day's entries, verified; with `hashes`, their hashes too,
    // each as verified.
    std::vector<JournalEntry> verifiedEntries(std::int32_t number,
                                              std::vector<EntryChain::Hash>* hashes = nullptr);
    DayRecord verifiedDay(std::int32_t number);
    // Returns every day's line, the open day's from its verified records.
    std::vector<DayLine> lines();
    // Verifies every day, every kept line against the records, and every
    // signed head, calling `verified` with each sound day's number and count
    // of records; with `trusted`, the fingerprint of a key, every signed day
    // must be signed by that key.
    void verify(const std::function<void(std::int32_t, std::int64_t)>& verified,
                const std::optional<std::string>& trusted = std::nullopt);
    // Throws JournalError when SQLite finds the file itself damaged.
    void checkIntegrity();

private:
    using KeptLines = std::map<std::int32_t, std::pair<DayLine, EntryChain::Hash>>;

    DayLine lineOf(const EntryTable::Last& last, const EntryChain::Hash& head,
                   std::optional<KeptLines>& kept);
    void checkLine(const EntryTable::Day& row, const DayRecord& day, const JournalEntry& last,
                   const KeptLines& kept);
    DayRecord replayed(std::int32_t number, const std::vector<JournalEntry>& entries);
    [[noreturn]] void damaged(std::int32_t day, const std::string& what) const;

    SQLite::Database& database;
    EntryTable& table;
    std::string path;
};
