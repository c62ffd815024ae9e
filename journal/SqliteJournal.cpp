#include "journal/SqliteJournal.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Transaction.h>
#include <optional>
#include <sqlite3.h>
#include <utility>

#include "journal/DayHistory.h"
#include "journal/EntryChain.h"
#include "journal/EntryTable.h"
#include "journal/HeadSignatures.h"
#include "journal/PrintQueueTable.h"
#include "journal/SqliteBatch.h"
#include "journal/SqliteConnection.h"
#include "journal/SqliteJournalConnection.h"

namespace {

bool isDamage(const SQLite::Exception& failure) {
    const int code = failure.getErrorCode();
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

}  // namespace

SqliteJournal::SqliteJournal(const std::string& path, Access access, const std::string& vfs)
    : path(path), connection(std::make_unique<Connection>(path, access, vfs)) {}

SqliteJournal::~SqliteJournal() = default;

// After a commit nothing may fail: what the journal holds is done.
void SqliteJournal::anchor() noexcept {
    if (!connection->batch->active()) {
        connection->file.anchor(connection->end.row);
    }
}

// Every read says which damage it met, if any. A reader reads one snapshot,
// so that a day's row and its records agree while a till appends to them;
// within a transaction of its own, it reads that one's.
template <typename Work>
auto SqliteJournal::reading(Work work) {
    try {
        std::optional<SQLite::Transaction> snapshot;
        if (connection->reader && sqlite3_get_autocommit(handle()) != 0) {
            snapshot.emplace(connection->database);
        }
        return work(*connection->table);
    } catch (const SQLite::Exception& failure) {
        if (isDamage(failure)) {
            throw JournalError("journal " + path + " is damaged: " + failure.what());
        }
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
}

// Runs `work` in one transaction and commits it, once the file is known to
// be where the till found it; a failure rolls all of it back and says why.
// In a batch, `work` joins the change under way, or is a change of its own.
template <typename Work>
void SqliteJournal::writing(Work work) {
    if (connection->batch->active()) {
        writingInBatch(work);
        return;
    }
    connection->file.checkFile();
    const SqliteBatch::ChainEnd before = connection->end;
    try {
        SQLite::Transaction transaction(connection->database,
                                        SQLite::TransactionBehavior::IMMEDIATE);
        work(*connection->table);
        transaction.commit();
    } catch (const SQLite::Exception& failure) {
        connection->end = before;
        restartLog();
        throw JournalError(failure.what());
    } catch (...) {
        connection->end = before;
        throw;
    }
    anchor();
}

// A commit that failed may have left its frames in the log, behind which a
// shorter commit would leave them looking like damage to the next start; so
// the log begins again at its next commit, when a checkpoint can be made.
void SqliteJournal::restartLog() noexcept {
    sqlite3_wal_checkpoint_v2(handle(), nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
}

template <typename Work>
void SqliteJournal::writingInBatch(Work work) {
    const bool alone = !connection->batch->inChange();
    if (alone) {
        beginChange();
    }
    try {
        work(*connection->table);
    } catch (const SQLite::Exception& failure) {
        connection->failure = failure.what();
        if (alone) {
            undoChange();
        }
        throw JournalError(failure.what());
    } catch (...) {
        if (alone) {
            undoChange();
        }
        throw;
    }
    if (alone) {
        releaseChange();
    }
}

void SqliteJournal::beginBatch() {
    connection->failure = Connection::halfway;
    connection->batch->begin(connection->end);
}

void SqliteJournal::commitBatch() {
    try {
        if (connection->batch->commit()) {
            anchor();
        }
    } catch (const JournalError&) {
        connection->end = connection->batch->rollback();
        restartLog();
        throw;
    }
}

void SqliteJournal::rollbackBatch() noexcept { connection->end = connection->batch->rollback(); }

// The file is checked once a batch, before its first write.
void SqliteJournal::beginChange() {
    if (!connection->batch->begun()) {
        connection->file.checkFile();
    }
    connection->batch->beginChange(connection->end);
}

void SqliteJournal::releaseChange() { connection->batch->releaseChange(); }

void SqliteJournal::undoChange() noexcept {
    connection->end = connection->batch->undoChange(connection->failure);
}

Journal::OpenDay SqliteJournal::openDay(Moment now) {
    const std::optional<EntryTable::Day> last =
        reading([](EntryTable& table) { return table.lastDayRow(); });
    if (last && reading([&](EntryTable& table) { return table.lastTypeOf(*last); }) !=
                    JournalEntry::Type::close) {
        connection->end = {last->number, *last};
        OpenDay resumed = currentDay();
        nameKey(resumed.entries);
        return resumed;
    }
    const EntryChain::Hash start = last ? last->head : EntryChain::genesis();
    JournalEntry open = JournalEntry::of(JournalEntry::Type::open, now);
    open.day = last ? last->number + 1 : 1;
    open.seq = 1;
    EntryTable::Day row{open.day, start, 1, EntryChain::next(start, open)};
    writing([&](EntryTable& table) {
        table.insert(open, row.head);
        table.putDay(row);
        connection->end = {row.number, row};
    });
    OpenDay opened{row.number, {open}, false};
    nameKey(opened.entries);
    return opened;
}

// The chain names the key that signs the days' heads before the first
// close it signs.
void SqliteJournal::nameKey(std::vector<JournalEntry>& opened) {
    if (!connection->key) {
        return;
    }
    const std::string hex = SigningKey::hexOf(connection->key->publicKey());
    if (reading([](EntryTable& table) { return table.lastKey(); }) == hex) {
        return;
    }
    std::vector<JournalEntry> named{JournalEntry::of(JournalEntry::Type::key, opened.back().at)};
    named.front().name = hex;
    append(named);
    opened.push_back(named.front());
}

Journal::OpenDay SqliteJournal::currentDay() {
    const std::int32_t number = connection->end.openNumber;
    if (number == 0) {
        return {};
    }
    return {number, reading([&](EntryTable& table) {
                return DayHistory(connection->database, table, path).verifiedEntries(number);
            }),
            true};
}

std::int64_t SqliteJournal::append(std::vector<JournalEntry>& entries) {
    if (connection->end.openNumber == 0) {
        throw JournalError("no day is open in journal " + path);
    }
    const std::int64_t first = connection->end.row.entries + 1;
    writing([&](EntryTable& table) { appendIn(table, entries); });
    return first;
}

void SqliteJournal::appendIn(EntryTable& table, std::vector<JournalEntry>& entries) {
    EntryTable::Day row = connection->end.row;
    for (JournalEntry& entry : entries) {
        entry.day = connection->end.openNumber;
        entry.seq = ++row.entries;
        row.head = EntryChain::next(row.head, entry);
        table.insert(entry, row.head);
    }
    table.putDay(row);
    connection->end.row = row;
}

// Answers kept in the days closed two days before this one go with it.
void SqliteJournal::closeDay(JournalEntry& close) {
    const std::int32_t number = connection->end.openNumber;
    if (number == 0 ||
        !reading([&](EntryTable& table) { return table.holds(number, JournalEntry::Type::add); })) {
        leaveDayOpen();
        return;
    }
    writing([&](EntryTable& table) {
        std::vector<JournalEntry> closing{close};
        appendIn(table, closing);
        close = closing.front();
        if (connection->key) {
            HeadSignatures::sign(table, *connection->key, connection->end.row);
        }
        side().dropAnswersUpTo(number - 2);
        connection->end.openNumber = 0;
    });
}

// A day that held an item, or a record of a new anchor, leaves a trace.
void SqliteJournal::leaveDayOpen() {
    const std::int32_t number = connection->end.openNumber;
    if (number == 0 || reading([&](EntryTable& table) {
            return table.holds(number, JournalEntry::Type::add) ||
                   table.holds(number, JournalEntry::Type::anchored);
        })) {
        return;
    }
    // The chain then ends where the day before it ended.
    const EntryTable::Day before =
        reading([&](EntryTable& table) {
            return table.dayRow(number - 1);
        }).value_or(EntryTable::Day{0, EntryChain::genesis(), 0, EntryChain::genesis()});
    writing([&](EntryTable& table) {
        table.forgetDay(number);
        connection->end = {0, before};
    });
}

std::optional<Journal::KeptAnswer> SqliteJournal::keptAnswer(const std::string& key) {
    return reading([&](EntryTable&) { return side().keptAnswer(key); });
}

void SqliteJournal::keep(const KeptAnswer& kept) {
    writing([&](EntryTable&) { side().keep(kept, connection->end.openNumber); });
}

std::optional<Journal::StoredMenu> SqliteJournal::storedMenu() {
    return reading([&](EntryTable&) { return side().menu(); });
}

void SqliteJournal::replaceMenu(const StoredMenu& stored) {
    writing([&](EntryTable&) { side().replaceMenu(stored); });
}

Settings SqliteJournal::settings() {
    return reading([&](EntryTable&) { return side().settings(); });
}

void SqliteJournal::putSetting(const std::string& key, const std::string& value) {
    writing([&](EntryTable&) { side().putSetting(key, value); });
}

std::vector<Journal::StaffMember> SqliteJournal::staff() {
    return reading([&](EntryTable&) { return side().staff(); });
}

void SqliteJournal::putStaff(const StaffMember& member) {
    writing([&](EntryTable&) { side().putStaff(member); });
}

bool SqliteJournal::removeStaff(const std::string& name) {
    bool removed = false;
    writing([&](EntryTable&) { removed = side().removeStaff(name); });
    return removed;
}

std::vector<Journal::Session> SqliteJournal::sessions() {
    return reading([&](EntryTable&) { return side().sessions(); });
}

void SqliteJournal::putSession(const Session& session) {
    writing([&](EntryTable&) { side().putSession(session); });
}

void SqliteJournal::endSession(const std::string& tokenHash) {
    writing([&](EntryTable&) { side().endSession(tokenHash); });
}

std::int64_t SqliteJournal::queuePrint(const PrintJob& job) {
    std::int64_t id = 0;
    writing([&](EntryTable&) { id = PrintQueueTable(connection->database).queue(job); });
    return id;
}

std::vector<PrintJob> SqliteJournal::printQueue() {
    return reading([&](EntryTable&) { return PrintQueueTable(connection->database).waiting(); });
}

void SqliteJournal::markPrint(std::int64_t id, bool done) {
    writing([&](EntryTable&) { PrintQueueTable(connection->database).mark(id, done); });
}

SideTables SqliteJournal::side() { return SideTables(connection->database, path); }

std::vector<DayLine> SqliteJournal::days() {
    return reading(
        [&](EntryTable& table) { return DayHistory(connection->database, table, path).lines(); });
}

std::optional<DayRecord> SqliteJournal::day(std::int32_t number) {
    return reading([&](EntryTable& table) -> std::optional<DayRecord> {
        if (!table.dayRow(number)) {
            return std::nullopt;
        }
        return DayHistory(connection->database, table, path).verifiedDay(number);
    });
}

std::optional<std::int32_t> SqliteJournal::dayOfSale(const std::string& saleId) {
    return reading([&](EntryTable& table) { return table.dayOfSale(saleId); });
}

std::int64_t SqliteJournal::lastZ() {
    return reading([&](EntryTable&) { return side().lastZ(); });
}

std::optional<Journal::SignedHead> SqliteJournal::signedHead(std::int32_t number) {
    return reading([&](EntryTable& table) { return HeadSignatures::signedHead(table, number); });
}

void SqliteJournal::verify(const std::function<void(std::int32_t, std::int64_t)>& verified,
                           const std::optional<std::string>& trusted) {
    reading([&](EntryTable& table) {
        DayHistory history(connection->database, table, path);
        history.verify(verified, trusted);
        side().settings();
        history.checkIntegrity();
    });
}

void SqliteJournal::signWith(std::shared_ptr<const SigningKey> key) {
    connection->key = std::move(key);
}

std::optional<std::string> SqliteJournal::chainKey() {
    return reading([](EntryTable& table) { return table.lastKey(); });
}

// The signatures of days cut from the journal would stand on the days that
// take their numbers.
void SqliteJournal::recordNewAnchor(Moment now, const std::string& why) {
    writing([](EntryTable& table) { table.forgetStraySignatures(); });
    openDay(now);
    std::vector<JournalEntry> noted{JournalEntry::of(JournalEntry::Type::anchored, now)};
    noted.front().reason = why;
    append(noted);
    connection->file.makeAnchor();
}

const std::vector<std::string>& SqliteJournal::upgradeNotes() const {
    return connection->file.upgradeNotes();
}

std::string SqliteJournal::description() const { return "journal " + path; }

sqlite3* SqliteJournal::handle() { return connection->file.handle(); }
