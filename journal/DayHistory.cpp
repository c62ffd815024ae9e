#include "journal/DayHistory.h"

#include <SQLiteCpp/Database.h>
#include <utility>

#include "journal/DayLines.h"
#include "journal/DayReplay.h"
#include "journal/HeadSignatures.h"
#include "journal/Journal.h"

DayHistory::DayHistory(SQLite::Database& database, EntryTable& table, std::string path)
    : database(database), table(table), path(std::move(path)) {}

void DayHistory::damaged(std::int32_t day, const std::string& what) const {
    throw JournalError("journal " + path + " is damaged: day " + std::to_string(day) + what);
}

std::vector<JournalEntry> DayHistory::verifiedEntries(std::int32_t number,
                                                      std::vector<EntryChain::Hash>* hashes) {
    const std::optional<EntryTable::Day> row = table.dayRow(number);
    const std::optional<EntryTable::Day> before =
        number > 1 ? table.dayRow(number - 1) : std::nullopt;
    if (!row || (number > 1 && !before) ||
        row->start != (before ? before->head : EntryChain::genesis())) {
        damaged(number, " does not follow the day before it");
    }
    auto stored = table.entriesOf(number, row->entries);
    if (static_cast<std::int64_t>(stored.size()) != row->entries) {
        damaged(number, " holds " + std::to_string(stored.size()) +
                            " records where it should hold " + std::to_string(row->entries));
    }
    EntryChain::Hash chained = row->start;
    std::vector<JournalEntry> entries;
    entries.reserve(stored.size());
    for (std::size_t at = 0; at < stored.size(); ++at) {
        auto& [entry, hash] = stored[at];
        chained = EntryChain::next(chained, entry);
        if (entry.day != number || entry.seq != static_cast<std::int64_t>(at) + 1 ||
            chained != hash) {
            damaged(number, ", record " + std::to_string(at + 1) + " does not match its hash");
        }
        if (hashes != nullptr) {
            hashes->push_back(hash);
        }
        entries.push_back(std::move(entry));
    }
    if (chained != row->head) {
        damaged(number, " does not end where its records end");
    }
    return entries;
}

DayRecord DayHistory::verifiedDay(std::int32_t number) {
    return replayed(number, verifiedEntries(number));
}

// Entries that hash soundly yet do not make a day are damage too.
DayRecord DayHistory::replayed(std::int32_t number, const std::vector<JournalEntry>& entries) {
    try {
        return DayReplay::of(number, entries);
    } catch (const JournalError& error) {
        throw JournalError("journal " + path + " is damaged: " + error.what());
    }
}

// Each day must start where the one before it ended, and its last entry
// must hash, from the one before it, to the hash its row keeps.
std::vector<DayLine> DayHistory::lines() {
    const std::vector<EntryTable::Day> rows = table.dayRows();
    const std::vector<EntryTable::Last> lasts = table.lastEntries();
    if (lasts.size() != rows.size()) {
        damaged(rows.empty() ? 0 : rows.back().number, " has lost its records");
    }
    std::vector<DayLine> lines;
    lines.reserve(rows.size());
    std::optional<KeptLines> kept;
    EntryChain::Hash ended = EntryChain::genesis();
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const EntryTable::Day& row = rows[at];
        const EntryTable::Last& last = lasts[at];
        const EntryChain::Hash before =
            last.entry.seq == 1 ? row.start : last.before.value_or(ended);
        if (row.start != ended || last.entry.day != row.number ||
            EntryChain::next(before, last.entry) != last.hash || last.hash != row.head) {
            damaged(row.number,
                    ", record " + std::to_string(row.entries) + " does not match its hash");
        }
        lines.push_back(lineOf(last, row.head, kept));
        ended = row.head;
    }
    return lines;
}

// A day closed with its line carries it; a day closed before lines were
// written with the close has it sealed in the table of older lines; the
// open day's is read from its records.
DayLine DayHistory::lineOf(const EntryTable::Last& last, const EntryChain::Hash& head,
                           std::optional<KeptLines>& kept) {
    const JournalEntry& close = last.entry;
    if (close.type != JournalEntry::Type::close) {
        return DayReplay::lineOf(verifiedDay(close.day));
    }
    if (close.opened && close.customers && close.revenue) {
        return {close.day, *close.opened, close.at, *close.customers, *close.revenue};
    }
    if (!kept) {
        kept = DayLines(database).all();
    }
    const auto found = kept->find(close.day);
    if (found == kept->end() ||
        EntryChain::lineSeal(head, found->second.first) != found->second.second) {
        damaged(close.day, "'s line in the list of days does not match its seal");
    }
    return found->second.first;
}

void DayHistory::verify(const std::function<void(std::int32_t, std::int64_t)>& verified,
                        const std::optional<std::string>& trusted) {
    const KeptLines kept = DayLines(database).all();
    HeadSignatures heads(table.signatures(), trusted);
    for (const EntryTable::Day& row : table.dayRows()) {
        const std::vector<JournalEntry> entries = verifiedEntries(row.number);
        const DayRecord day = replayed(row.number, entries);
        checkLine(row, day, entries.back(), kept);
        for (const JournalEntry& entry : entries) {
            heads.see(entry);
        }
        if (const auto fault = heads.faultOf(row, day.closedAt.has_value())) {
            if (fault->damage) {
                damaged(row.number, fault->what);
            }
            throw JournalError("journal " + path + " fails the check: day " +
                               std::to_string(row.number) + fault->what);
        }
        verified(row.number, row.entries);
    }
    if (const std::optional<std::string> fault = heads.finalFault()) {
        throw JournalError("journal " + path + " fails the check: " + *fault);
    }
}

void DayHistory::checkLine(const EntryTable::Day& row, const DayRecord& day,
                           const JournalEntry& last, const KeptLines& kept) {
    const auto line = kept.find(row.number);
    if (line == kept.end() && day.closedAt && !last.revenue) {
        damaged(row.number, " has no line in the list of days");
    }
    if (line != kept.end()) {
        const DayLine made = DayReplay::lineOf(day);
        const DayLine& held = line->second.first;
        if (held.openedAt != made.openedAt || held.closedAt != made.closedAt ||
            held.customers != made.customers || held.revenue != made.revenue ||
            EntryChain::lineSeal(row.head, held) != line->second.second) {
            damaged(row.number, "'s line in the list of days does not match its records");
        }
    }
}

void DayHistory::checkIntegrity() {
    const std::string check = database.execAndGet("PRAGMA integrity_check").getString();
    if (check != "ok") {
        throw JournalError("journal " + path + " is damaged: " + check);
    }
}
