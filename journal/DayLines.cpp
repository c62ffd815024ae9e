#include "journal/DayLines.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <cstring>
#include <vector>

#include "journal/DayReplay.h"
#include "journal/EntryTable.h"
#include "journal/Journal.h"

DayLines::DayLines(SQLite::Database& database) : database(database) {}

void DayLines::create(SQLite::Database& database) {
    database.exec(
        "CREATE TABLE day_line (number INTEGER PRIMARY KEY, opened_at INTEGER NOT NULL, "
        "closed_at INTEGER NOT NULL, customers INTEGER NOT NULL, revenue INTEGER NOT NULL, "
        "seal BLOB NOT NULL)");
}

void DayLines::computeForClosedDays(SQLite::Database& database) {
    EntryTable table(database);
    SQLite::Statement put(database,
                          "INSERT INTO day_line (number, opened_at, closed_at, customers, "
                          "revenue, seal) VALUES (?, ?, ?, ?, ?, ?)");
    for (const EntryTable::Last& last : table.lastEntries()) {
        if (last.entry.type != JournalEntry::Type::close || last.entry.revenue) {
            continue;
        }
        std::vector<JournalEntry> entries;
        for (auto& [entry, hash] : table.entriesOf(last.entry.day)) {
            entries.push_back(std::move(entry));
        }
        const DayLine line = DayReplay::lineOf(DayReplay::of(last.entry.day, entries));
        const EntryChain::Hash seal = EntryChain::lineSeal(last.hash, line);
        put.reset();
        put.bind(1, line.number);
        put.bind(2, line.openedAt);
        put.bind(3, line.closedAt.value_or(0));
        put.bind(4, line.customers);
        put.bind(5, line.revenue.cents());
        put.bind(6, seal.data(), static_cast<int>(seal.size()));
        put.exec();
    }
}

std::map<std::int32_t, std::pair<DayLine, EntryChain::Hash>> DayLines::all() {
    std::map<std::int32_t, std::pair<DayLine, EntryChain::Hash>> lines;
    SQLite::Statement select(database,
                             "SELECT number, opened_at, closed_at, customers, revenue, seal FROM "
                             "day_line ORDER BY number");
    while (select.executeStep()) {
        const DayLine line{select.getColumn(0).getInt(), select.getColumn(1).getInt64(),
                           select.getColumn(2).getInt64(), select.getColumn(3).getInt64(),
                           Money::fromCents(select.getColumn(4).getInt64())};
        EntryChain::Hash seal{};
        if (select.getColumn(5).getBytes() == static_cast<int>(seal.size())) {
            std::memcpy(seal.data(), select.getColumn(5).getBlob(), seal.size());
        }
        lines.emplace(line.number, std::make_pair(line, seal));
    }
    return lines;
}
