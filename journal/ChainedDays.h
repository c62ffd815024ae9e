#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/Journal.h"
#include "journal/JournalEntry.h"
#include "journal/Settings.h"

class SqliteConnection;
class EntryTable;

// ChainedDays reads a journal's days as its chain holds them, for a copy
// kept elsewhere: every day's head, and a day's records, verified, each
// with its canonical encoding and its hash. It reads beside a running till,
// without its lock. Damage throws JournalError, naming the day and record.
class ChainedDays {
public:
    // Opens the journal at `path` for reading; it must exist.
    explicit ChainedDays(const std::string& path);
    ChainedDays(const ChainedDays&) = delete;
    ChainedDays& operator=(const ChainedDays&) = delete;
    ~ChainedDays();

    // Head is where a day's chain ends: its count of records, the last
    // one's hash in hex, whether the day closed, and, for the open day,
    // whether it holds an item: an open day that never did is forgotten
    // when the till stops, and its number taken again. A closed day may
    // have its head signed.
    struct Head {
        std::int32_t number = 0;
        std::int64_t records = 0;
        std::string head;
        bool closed = false;
        bool kept = false;
        bool signedHead = false;
    };
    // Returns every day's head, the first day's first.
    std::vector<Head> heads();

    // Day is a day read whole: its records in order, each one's encoding
    // and hash in hex, the day they make, and its signed head, once signed.
    struct Day {
        std::vector<JournalEntry> entries;
        std::vector<std::string> encodings;
        std::vector<std::string> hashes;
        DayRecord record;
        std::optional<Journal::SignedHead> signedHead;
    };
    // Returns the day of that number, verified.
    Day day(std::int32_t number);

    Settings settings();

private:
    template <typename Work>
    auto reading(Work work);

    std::string path;
    std::unique_ptr<SqliteConnection> file;
    std::unique_ptr<EntryTable> table;
};
