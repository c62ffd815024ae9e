#pragma once

#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/EntryChain.h"
#include "journal/JournalEntry.h"

namespace SQLite {
class Database;
class Statement;
}  // namespace SQLite

// EntryTable reads and writes the journal's entries and the days that chain
// them, in SQL: a day row holds the hash its chain starts from, its count of
// entries and the hash of its last, so that a lost entry shows as surely as
// a changed one.
class EntryTable {
public:
    // A day row.
    struct Day {
        std::int32_t number = 0;
        EntryChain::Hash start{};
        std::int64_t entries = 0;
        EntryChain::Hash head{};
    };

    explicit EntryTable(SQLite::Database& database);
    EntryTable(const EntryTable&) = delete;
    EntryTable& operator=(const EntryTable&) = delete;
    ~EntryTable();

    // Makes the tables in a new database.
    static void create(SQLite::Database& database);

    // Appends an entry with its hash; the caller updates the day row.
    void insert(const JournalEntry& entry, const EntryChain::Hash& hash);
    // Writes the day row, new or changed.
    void putDay(const Day& day);
    // Deletes the day and its entries.
    void forgetDay(std::int32_t number);

    std::optional<Day> dayRow(std::int32_t number);
    std::optional<Day> lastDayRow();
    std::vector<Day> dayRows();
    // Returns the day's entries in order, each with the hash stored for it;
    // `expected` of them, as its row says.
    std::vector<std::pair<JournalEntry, EntryChain::Hash>> entriesOf(std::int32_t day,
                                                                     std::int64_t expected = 0);
    // Returns the type of the day's last entry, if it has any.
    std::optional<JournalEntry::Type> lastTypeOf(const Day& day);
    // Returns true when the day holds an entry of that type.
    bool holds(std::int32_t day, JournalEntry::Type type);

    // The last entry of a day, with its stored hash and the hash of the
    // entry before it, if any: enough to check it against the day's row
    // without reading the day.
    struct Last {
        JournalEntry entry;
        EntryChain::Hash hash{};
        std::optional<EntryChain::Hash> before;
    };
    // Returns every day's last entry, the first day's first.
    std::vector<Last> lastEntries();
    // Returns the day whose customer paid under that sale id, if any.
    std::optional<std::int32_t> dayOfSale(const std::string& saleId);

    // Keeps the signature of a closed day's head.
    void putSignature(std::int32_t day, const std::string& signature);
    // Returns the signatures of the days' heads, by day.
    std::map<std::int32_t, std::string> signatures();
    // Forgets the signatures of days the journal no longer holds.
    void forgetStraySignatures();
    // Returns the signature of that day's head, if any.
    std::optional<std::string> signatureOf(std::int32_t day);
    // Returns the public key, in hex, the chain last named, up to that day,
    // if any.
    std::optional<std::string> lastKey(std::int32_t upTo = INT32_MAX);

private:
    static void bindKitchen(SQLite::Statement& insert, const JournalEntry& entry);
    SQLite::Database& database;
    std::unique_ptr<SQLite::Statement> insertEntry;
    std::unique_ptr<SQLite::Statement> putDayRow;
};
