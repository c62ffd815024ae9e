#include "journal/SqliteJournal.h"

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <filesystem>
#include <sqlite3.h>
#include <utility>

#include "journal/DayReplay.h"
#include "journal/EntryChain.h"
#include "journal/EntryTable.h"
#include "journal/JournalAnchor.h"
#include "journal/JournalFile.h"
#include "journal/JournalHeader.h"
#include "journal/JournalSchema.h"
#include "journal/LogSpace.h"
#include "journal/PrivateCopy.h"
#include "journal/SideTables.h"
#include "journal/WalCheck.h"

namespace {

namespace fs = std::filesystem;

bool isDamage(const SQLite::Exception& failure) {
    const int code = failure.getErrorCode();
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

}  // namespace

// The statements a batch runs again and again, prepared once.
struct BatchStatements {
    explicit BatchStatements(SQLite::Database& database)
        : begin(database, "BEGIN IMMEDIATE"),
          commit(database, "COMMIT"),
          rollback(database, "ROLLBACK"),
          savepoint(database, "SAVEPOINT change"),
          release(database, "RELEASE change"),
          rollbackTo(database, "ROLLBACK TO change") {}

    // A statement left unreset would hold its transaction open.
    static void run(SQLite::Statement& statement) {
        try {
            statement.exec();
        } catch (const SQLite::Exception&) {
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

// A batch: its transaction begins with its first change, and is lost whole
// when SQLite had to roll it back, saying why.
struct Batch {
    bool begun = false;
    std::optional<std::string> lost;
    // The open day as it was before the batch.
    std::int32_t openNumber = 0;
    EntryTable::Day openDay;
};

// Members go in the reverse of their order here: SQLite closes before the
// file's lock and descriptor go, and the private copy last.
struct SqliteJournal::Connection {
    std::optional<PrivateCopy> copy;
    std::optional<JournalFile> file;
    std::optional<JournalAnchor> anchor;
    std::optional<SQLite::Database> database;
    std::unique_ptr<EntryTable> table;
    std::unique_ptr<BatchStatements> statements;
    // The open day's row, as the journal holds it.
    EntryTable::Day openDay;
    std::optional<Batch> batch;
};

SqliteJournal::SqliteJournal(const std::string& path, Access access, const std::string& vfs)
    : path(path), connection(std::make_unique<Connection>()) {
    JournalFile::checkPath(path);
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (access == Access::reading && !exists) {
        throw JournalError("there is no journal at " + path +
                           " yet: the till makes it when it first runs");
    }
    if (exists && !fs::is_regular_file(path, error)) {
        throw JournalError(path + " is not a restaurant journal: it is not a file");
    }
    JournalHeader::check(path);
    if (access == Access::till) {
        connection->file.emplace(path);
        connection->anchor.emplace(path);
        if (connection->file->isNew()) {
            // An anchor without its journal belongs to one deleted.
            fs::remove(path + "-head", error);
        }
    }
    WalCheck::check(path);
    try {
        if (access == Access::till) {
            openForTill(vfs);
        } else {
            openForReading(vfs);
        }
        connection->table = std::make_unique<EntryTable>(*connection->database);
        checkAnchor();
    } catch (const SQLite::Exception& failure) {
        connection->database.reset();
        if (connection->file) {
            connection->file->forgetIfEmpty();
        }
        if (isDamage(failure)) {
            throw JournalError("journal " + path + " is damaged: " + failure.what());
        }
        throw JournalError("cannot open journal " + path + ": " + failure.what());
    }
}

void SqliteJournal::openForTill(const std::string& vfs) {
    const std::string absolute = fs::absolute(path).string();
    SQLite::Database& database = connection->database.emplace(
        absolute, SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX, 5000, vfs);
    // Nothing is written back on closing until the file proves sound.
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    checkVersion();
    if (database.execAndGet("PRAGMA application_id").getInt() == 0) {
        // A new file: made in one transaction before it turns to WAL, so
        // that its id and version sit in the file itself.
        SQLite::Transaction transaction(database, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::create(database);
        transaction.commit();
    }
    database.exec("PRAGMA journal_mode = WAL");
    database.exec("PRAGMA synchronous = FULL");
    const std::int32_t version = database.execAndGet("PRAGMA user_version").getInt();
    if (version < JournalSchema::version) {
        SQLite::Transaction transaction(database, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::upgrade(database, version);
        transaction.commit();
    }
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // Room for the frames SQLite writes before it checkpoints and begins
    // the log again at its start, and a few over.
    const std::int64_t framesBeforeCheckpoint =
        database.execAndGet("PRAGMA wal_autocheckpoint").getInt64() + 16;
    LogSpace::reserve(path, LogSpace::bytesFor(framesBeforeCheckpoint,
                                               database.execAndGet("PRAGMA page_size").getInt()));
}

// A journal of an older version is read from a copy in memory, brought up
// to this version there: the file stays as its till left it. A journal in a
// folder the reader may not write, where SQLite cannot keep the index of its
// log, is read as the unchanging file it is, or, with a log beside it, from
// a copy of both in a private folder.
void SqliteJournal::openForReading(const std::string& vfs) {
    const std::string absolute = fs::absolute(path).string();
    SQLite::Database& database = connection->database.emplace(
        absolute, SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, 5000, vfs);
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    try {
        checkVersion();
    } catch (const SQLite::Exception&) {
        connection->database.reset();
        std::error_code error;
        if (fs::file_size(path + "-wal", error) > 0 && !error) {
            connection->copy.emplace(absolute);
            connection->database.emplace(connection->copy->journal(),
                                         SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, 5000, vfs);
        } else {
            connection->database.emplace(
                "file:" + absolute + "?immutable=1",
                SQLite::OPEN_READONLY | SQLite::OPEN_URI | SQLite::OPEN_NOMUTEX, 5000, vfs);
        }
        checkVersion();
    }
    const std::int32_t version = connection->database->execAndGet("PRAGMA user_version").getInt();
    if (version == JournalSchema::version) {
        return;
    }
    SQLite::Database copy(":memory:", SQLite::OPEN_READWRITE);
    SQLite::Backup(copy, *connection->database).executeStep();
    {
        SQLite::Transaction transaction(copy, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::upgrade(copy, version);
        transaction.commit();
    }
    connection->database.reset();
    connection->database.emplace(std::move(copy));
}

// Asked of SQLite, which reads the log too: a newer version written only to
// the log is refused as surely as one in the file's header.
void SqliteJournal::checkVersion() {
    const std::int32_t version = connection->database->execAndGet("PRAGMA user_version").getInt();
    if (version > JournalSchema::version) {
        throw JournalError(JournalHeader::newerVersion(path, version));
    }
}

SqliteJournal::~SqliteJournal() = default;

// A journal that ends before the point its anchor keeps lost records a till
// had committed: a log whose last frame was damaged, dropped by SQLite.
void SqliteJournal::checkAnchor() {
    const std::optional<JournalAnchor::Point> anchored = JournalAnchor::read(path);
    if (!anchored || anchored->day == 0) {
        return;
    }
    const std::optional<EntryTable::Day> row = connection->table->dayRow(anchored->day);
    const std::optional<EntryTable::Day> last = connection->table->lastDayRow();
    const bool lost = !row ? !last || last->number < anchored->day
                           : row->entries < anchored->entries ||
                                 (row->entries == anchored->entries && row->head != anchored->head);
    if (lost) {
        throw JournalError("journal " + path +
                           " is damaged: it ends before the last record its till committed (day " +
                           std::to_string(anchored->day) + ", record " +
                           std::to_string(anchored->entries) + ")");
    }
}

// After a commit nothing may fail: what the journal holds is done.
void SqliteJournal::anchor() noexcept {
    if (connection->anchor && !connection->batch) {
        const EntryTable::Day& row = connection->openDay;
        try {
            connection->anchor->write({row.number, row.entries, row.head});
        } catch (...) {
        }
    }
}

// Every read says which damage it met, if any.
template <typename Work>
auto SqliteJournal::reading(Work work) {
    try {
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
// In a batch, `work` is a savepoint in the batch's transaction instead.
template <typename Work>
void SqliteJournal::writing(Work work) {
    if (connection->batch) {
        if (connection->batch->lost) {
            throw JournalError(*connection->batch->lost);
        }
        if (!connection->batch->begun) {
            beginBatchTransaction();
        }
        BatchStatements& statements = *connection->statements;
        try {
            BatchStatements::run(statements.savepoint);
            work(*connection->table);
            BatchStatements::run(statements.release);
        } catch (const SQLite::Exception& failure) {
            undoChange(failure.what());
            throw JournalError(failure.what());
        } catch (...) {
            undoChange("a change failed halfway");
            throw;
        }
        return;
    }
    checkFile();
    try {
        SQLite::Transaction transaction(*connection->database,
                                        SQLite::TransactionBehavior::IMMEDIATE);
        work(*connection->table);
        transaction.commit();
    } catch (const SQLite::Exception& failure) {
        throw JournalError(failure.what());
    }
}

// A file moved under the till gets what its log holds, which keeps the old
// name, checkpointed into it, so that nothing acknowledged stays behind.
void SqliteJournal::checkFile() {
    if (!connection->file) {
        return;
    }
    try {
        if (moved) {
            throw JournalError("journal " + path + " was moved or deleted while the till ran");
        }
        connection->file->checkStillThere();
    } catch (const JournalError&) {
        if (!moved) {
            moved = true;
            sqlite3_wal_checkpoint_v2(handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr,
                                      nullptr);
        }
        throw;
    }
}

void SqliteJournal::beginBatch() { connection->batch.emplace(); }

// The batch's transaction begins with its first change, so that a batch of
// refusals and reads costs none.
void SqliteJournal::beginBatchTransaction() {
    checkFile();
    try {
        if (!connection->statements) {
            connection->statements = std::make_unique<BatchStatements>(*connection->database);
        }
        BatchStatements::run(connection->statements->begin);
    } catch (const SQLite::Exception& failure) {
        throw JournalError(failure.what());
    }
    connection->batch->begun = true;
    connection->batch->openNumber = openNumber;
    connection->batch->openDay = connection->openDay;
}

// Undoes the change that failed; SQLite may have rolled back the whole
// transaction for some failures, and then the batch is lost.
void SqliteJournal::undoChange(const std::string& why) noexcept {
    if (sqlite3_get_autocommit(handle()) != 0) {
        connection->batch->lost = why;
        return;
    }
    try {
        BatchStatements::run(connection->statements->rollbackTo);
        BatchStatements::run(connection->statements->release);
    } catch (const SQLite::Exception& failure) {
        connection->batch->lost = failure.what();
    }
}

void SqliteJournal::commitBatch() {
    if (!connection->batch || !connection->batch->begun) {
        connection->batch.reset();
        return;
    }
    std::optional<std::string> failure = connection->batch->lost;
    if (!failure) {
        try {
            BatchStatements::run(connection->statements->commit);
        } catch (const SQLite::Exception& error) {
            failure = error.what();
        }
    }
    if (failure) {
        undoBatch();
        connection->batch.reset();
        throw JournalError(*failure);
    }
    connection->batch.reset();
    anchor();
}

// Rolls back what is left of the batch's transaction; memory of the open
// day goes back to where the batch found it.
void SqliteJournal::undoBatch() noexcept {
    if (sqlite3_get_autocommit(handle()) == 0) {
        try {
            BatchStatements::run(connection->statements->rollback);
        } catch (const SQLite::Exception&) {
            // SQLite rolls back on closing, or the next transaction fails.
        }
    }
    openNumber = connection->batch->openNumber;
    connection->openDay = connection->batch->openDay;
}

Journal::OpenDay SqliteJournal::openDay(Moment now) {
    const std::optional<EntryTable::Day> last =
        reading([](EntryTable& table) { return table.lastDayRow(); });
    if (last && reading([&](EntryTable& table) { return table.lastTypeOf(*last); }) !=
                    JournalEntry::Type::close) {
        openNumber = last->number;
        connection->openDay = *last;
        return {last->number, verifiedEntries(last->number), true};
    }
    const EntryChain::Hash start = last ? last->head : EntryChain::genesis();
    JournalEntry open = JournalEntry::of(JournalEntry::Type::open, now);
    open.day = last ? last->number + 1 : 1;
    open.seq = 1;
    EntryTable::Day row{open.day, start, 1, EntryChain::next(start, open)};
    writing([&](EntryTable& table) {
        table.insert(open, row.head);
        table.putDay(row);
    });
    openNumber = row.number;
    connection->openDay = row;
    anchor();
    return {row.number, {open}, false};
}

std::vector<JournalEntry> SqliteJournal::openDayEntries() { return verifiedEntries(openNumber); }

std::int64_t SqliteJournal::append(std::vector<JournalEntry> entries, const Within& within) {
    EntryTable::Day row = connection->openDay;
    writing([&](EntryTable& table) {
        for (JournalEntry& entry : entries) {
            entry.day = openNumber;
            entry.seq = ++row.entries;
            row.head = EntryChain::next(row.head, entry);
            table.insert(entry, row.head);
        }
        table.putDay(row);
        if (within) {
            if (const std::optional<KeptAnswer> kept = within(connection->openDay.entries + 1)) {
                SideTables(*connection->database, path).keep(*kept);
            }
        }
    });
    const std::int64_t first = connection->openDay.entries + 1;
    connection->openDay = row;
    anchor();
    return first;
}

void SqliteJournal::closeDay(Moment at) {
    if (!reading(
            [&](EntryTable& table) { return table.holds(openNumber, JournalEntry::Type::add); })) {
        leaveDayOpen();
        return;
    }
    append({JournalEntry::of(JournalEntry::Type::close, at)});
}

void SqliteJournal::leaveDayOpen() {
    if (openNumber == 0 || reading([&](EntryTable& table) {
            return table.holds(openNumber, JournalEntry::Type::add);
        })) {
        return;
    }
    // The chain then ends where the day before it ended.
    const EntryTable::Day before =
        reading([&](EntryTable& table) {
            return table.dayRow(openNumber - 1);
        }).value_or(EntryTable::Day{0, EntryChain::genesis(), 0, EntryChain::genesis()});
    writing([&](EntryTable& table) { table.forgetDay(openNumber); });
    openNumber = 0;
    connection->openDay = before;
    anchor();
}

std::optional<Journal::StoredMenu> SqliteJournal::storedMenu() {
    return reading([&](EntryTable&) { return SideTables(*connection->database, path).menu(); });
}

void SqliteJournal::replaceMenu(const StoredMenu& stored) {
    writing([&](EntryTable&) { SideTables(*connection->database, path).replaceMenu(stored); });
}

Settings SqliteJournal::settings() {
    return reading([&](EntryTable&) { return SideTables(*connection->database, path).settings(); });
}

void SqliteJournal::putSetting(const std::string& key, const std::string& value) {
    writing([&](EntryTable&) { SideTables(*connection->database, path).putSetting(key, value); });
}

std::optional<std::string> SqliteJournal::keptAnswer(const std::string& key) {
    return reading(
        [&](EntryTable&) { return SideTables(*connection->database, path).keptAnswer(key); });
}

std::vector<Journal::StaffMember> SqliteJournal::staff() {
    return reading([&](EntryTable&) { return SideTables(*connection->database, path).staff(); });
}

void SqliteJournal::putStaff(const StaffMember& member) {
    writing([&](EntryTable&) { SideTables(*connection->database, path).putStaff(member); });
}

bool SqliteJournal::removeStaff(const std::string& name) {
    bool removed = false;
    writing(
        [&](EntryTable&) { removed = SideTables(*connection->database, path).removeStaff(name); });
    return removed;
}

std::vector<DayLine> SqliteJournal::days() {
    const std::vector<EntryTable::Day> rows =
        reading([](EntryTable& table) { return table.dayRows(); });
    std::vector<DayLine> lines;
    lines.reserve(rows.size());
    for (const EntryTable::Day& row : rows) {
        lines.push_back(DayReplay::lineOf(verifiedDay(row.number)));
    }
    return lines;
}

std::optional<DayRecord> SqliteJournal::day(std::int32_t number) {
    if (!reading([&](EntryTable& table) { return table.dayRow(number); })) {
        return std::nullopt;
    }
    return verifiedDay(number);
}

void SqliteJournal::verify(const std::function<void(std::int32_t, std::int64_t)>& verified) {
    const std::vector<EntryTable::Day> rows =
        reading([](EntryTable& table) { return table.dayRows(); });
    for (const EntryTable::Day& row : rows) {
        verifiedDay(row.number);
        verified(row.number, row.entries);
    }
    settings();
    const std::string check = reading([&](EntryTable&) {
        return connection->database->execAndGet("PRAGMA integrity_check").getString();
    });
    if (check != "ok") {
        throw JournalError("journal " + path + " is damaged: " + check);
    }
}

// The day's chain must start where the day before it ended, hold every
// entry in order with the hash it was written with, and end at the hash its
// row keeps.
std::vector<JournalEntry> SqliteJournal::verifiedEntries(std::int32_t number) {
    return reading([&](EntryTable& table) {
        const std::string damaged =
            "journal " + path + " is damaged: day " + std::to_string(number);
        const std::optional<EntryTable::Day> row = table.dayRow(number);
        const std::optional<EntryTable::Day> before =
            number > 1 ? table.dayRow(number - 1) : std::nullopt;
        if (!row || (number > 1 && !before) ||
            row->start != (before ? before->head : EntryChain::genesis())) {
            throw JournalError(damaged + " does not follow the day before it");
        }
        auto stored = table.entriesOf(number, row->entries);
        if (static_cast<std::int64_t>(stored.size()) != row->entries) {
            throw JournalError(damaged + " holds " + std::to_string(stored.size()) +
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
                throw JournalError(damaged + ", record " + std::to_string(at + 1) +
                                   " does not match its hash");
            }
            entries.push_back(std::move(entry));
        }
        if (chained != row->head) {
            throw JournalError(damaged + " does not end where its records end");
        }
        return entries;
    });
}

// Entries that hash soundly yet do not make a day are damage too.
DayRecord SqliteJournal::verifiedDay(std::int32_t number) {
    const std::vector<JournalEntry> entries = verifiedEntries(number);
    try {
        return DayReplay::of(number, entries);
    } catch (const JournalError& error) {
        throw JournalError("journal " + path + " is damaged: " + error.what());
    }
}

std::string SqliteJournal::description() const { return "journal " + path; }

sqlite3* SqliteJournal::handle() { return connection->database->getHandle(); }
