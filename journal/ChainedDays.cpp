#include "journal/ChainedDays.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Transaction.h>
#include <map>
#include <utility>

#include "base/Hex.h"
#include "journal/DayHistory.h"
#include "journal/DayReplay.h"
#include "journal/EntryChain.h"
#include "journal/EntryTable.h"
#include "journal/HeadSignatures.h"
#include "journal/SideTables.h"
#include "journal/SqliteConnection.h"

namespace {

std::string hexOfHash(const EntryChain::Hash& hash) { return hexOf(hash.data(), hash.size()); }

}  // namespace

ChainedDays::ChainedDays(const std::string& path)
    : path(path),
      file(std::make_unique<SqliteConnection>(path, SqliteConnection::Access::reading, "")),
      table(std::make_unique<EntryTable>(file->database())) {}

ChainedDays::~ChainedDays() = default;

// One snapshot a read, so that a day's row and its records agree while a
// till appends to them.
template <typename Work>
auto ChainedDays::reading(Work work) {
    try {
        const SQLite::Transaction snapshot(file->database());
        return work();
    } catch (const SQLite::Exception& failure) {
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
}

std::vector<ChainedDays::Head> ChainedDays::heads() {
    return reading([&] {
        std::vector<Head> heads;
        const std::map<std::int32_t, std::string> signatures = table->signatures();
        for (const EntryTable::Day& row : table->dayRows()) {
            const bool closed = table->lastTypeOf(row) == JournalEntry::Type::close;
            heads.push_back({row.number, row.entries, hexOfHash(row.head), closed, true,
                             closed && signatures.count(row.number) != 0});
        }
        if (!heads.empty() && !heads.back().closed) {
            heads.back().kept = table->holds(heads.back().number, JournalEntry::Type::add);
        }
        return heads;
    });
}

ChainedDays::Day ChainedDays::day(std::int32_t number) {
    return reading([&] {
        Day day;
        std::vector<EntryChain::Hash> hashes;
        day.entries = DayHistory(file->database(), *table, path).verifiedEntries(number, &hashes);
        for (std::size_t at = 0; at < day.entries.size(); ++at) {
            const std::string encoding = EntryChain::encoding(day.entries[at]);
            day.encodings.push_back(hexOf(encoding.data(), encoding.size()));
            day.hashes.push_back(hexOfHash(hashes[at]));
        }
        try {
            day.record = DayReplay::of(number, day.entries);
        } catch (const JournalError& error) {
            throw JournalError("journal " + path + " is damaged: " + error.what());
        }
        day.signedHead = HeadSignatures::signedHead(*table, number);
        return day;
    });
}

Settings ChainedDays::settings() {
    return reading([&] { return SideTables(file->database(), path).settings(); });
}
