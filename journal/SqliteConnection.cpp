#include "journal/SqliteConnection.h"

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Transaction.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <utility>

#include "journal/Journal.h"
#include "journal/JournalAnchor.h"
#include "journal/JournalFile.h"
#include "journal/JournalHeader.h"
#include "journal/JournalSchema.h"
#include "journal/LogSpace.h"
#include "journal/PrivateCopy.h"
#include "journal/WalCheck.h"

namespace {

namespace fs = std::filesystem;

// A journal named through a symbolic link is the file the link names: its
// anchor, its log and its lock go beside that file, not beside the link.
std::string realPathOf(const std::string& path) {
    std::error_code error;
    if (!fs::is_symlink(path, error)) {
        return path;
    }
    const fs::path real = fs::weakly_canonical(path, error);
    return error ? path : real.string();
}

bool isDamage(const SQLite::Exception& failure) {
    const int code = failure.getErrorCode();
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

}  // namespace

// Members go in the reverse of their order here: SQLite closes before the
// file's lock and descriptor go, and the private copy last.
struct SqliteConnection::Files {
    std::optional<PrivateCopy> copy;
    std::optional<JournalFile> file;
    std::optional<JournalAnchor> anchor;
    std::optional<SQLite::Database> database;
};

SqliteConnection::SqliteConnection(std::string path, Access access, const std::string& vfs)
    : journalPath(std::move(path)), files(std::make_unique<Files>()) {
    const bool forTill = access == Access::till || access == Access::reanchoring;
    checkTheFile(forTill);
    std::error_code error;
    if (forTill) {
        files->file.emplace(realPath);
        files->anchor.emplace(realPath);
        if (files->file->isNew()) {
            // An anchor without its journal belongs to one deleted.
            fs::remove(realPath + "-head", error);
        }
    }
    WalCheck::check(realPath);
    try {
        if (forTill) {
            openForTill(vfs);
        } else {
            openForReading(vfs);
        }
        checkAnchor(access);
        if (forTill && foundVersion < JournalSchema::version) {
            makeAnchor();
        }
    } catch (const SQLite::Exception& failure) {
        files->database.reset();
        if (files->file) {
            files->file->forgetIfEmpty();
        }
        if (isDamage(failure)) {
            throw JournalError("journal " + journalPath + " is damaged: " + failure.what());
        }
        throw JournalError("cannot open journal " + journalPath + ": " + failure.what());
    }
}

// The path names a plain file, with one name, that is a journal or empty;
// only a till's may be missing, for a till makes it.
void SqliteConnection::checkTheFile(bool forTill) {
    JournalFile::checkPath(journalPath);
    realPath = realPathOf(journalPath);
    std::error_code error;
    const bool exists = fs::exists(realPath, error);
    if (!forTill && !exists) {
        throw JournalError("there is no journal at " + journalPath +
                           " yet: the till makes it when it first runs");
    }
    if (exists && !fs::is_regular_file(realPath, error)) {
        throw JournalError(journalPath + " is not a restaurant journal: it is not a file");
    }
    checkOneName();
    JournalHeader::check(realPath);
}

void SqliteConnection::openForTill(const std::string& vfs) {
    const std::string absolute = fs::absolute(realPath).string();
    SQLite::Database& database =
        files->database.emplace(absolute, SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX, 5000, vfs);
    // Nothing is written back on closing until the file proves sound.
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    checkVersion();
    foundVersion = database.execAndGet("PRAGMA user_version").getInt();
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
        notes = JournalSchema::upgrade(database, version);
        transaction.commit();
    }
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // Room for the frames SQLite writes before it checkpoints and begins
    // the log again at its start, and a few over.
    const std::int64_t framesBeforeCheckpoint =
        database.execAndGet("PRAGMA wal_autocheckpoint").getInt64() + 16;
    LogSpace::reserve(realPath,
                      LogSpace::bytesFor(framesBeforeCheckpoint,
                                         database.execAndGet("PRAGMA page_size").getInt()));
}

// A journal of an older version is read from a copy in memory, brought up
// to this version there: the file stays as its till left it. A journal in a
// folder the reader may not write, where SQLite cannot keep the index of its
// log, is read as the unchanging file it is, or, with a log beside it, from
// a copy of both in a private folder.
void SqliteConnection::openForReading(const std::string& vfs) {
    const std::string absolute = fs::absolute(realPath).string();
    SQLite::Database& database =
        files->database.emplace(absolute, SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, 5000, vfs);
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    try {
        checkVersion();
    } catch (const SQLite::Exception&) {
        files->database.reset();
        std::error_code error;
        if (fs::file_size(realPath + "-wal", error) > 0 && !error) {
            files->copy.emplace(absolute);
            files->database.emplace(files->copy->journal(),
                                    SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX, 5000, vfs);
        } else {
            files->database.emplace("file:" + absolute + "?immutable=1",
                                    SQLite::OPEN_READONLY | SQLite::OPEN_URI | SQLite::OPEN_NOMUTEX,
                                    5000, vfs);
        }
        checkVersion();
    }
    const std::int32_t version = files->database->execAndGet("PRAGMA user_version").getInt();
    foundVersion = version;
    if (version == JournalSchema::version) {
        return;
    }
    SQLite::Database copy(":memory:", SQLite::OPEN_READWRITE);
    SQLite::Backup(copy, *files->database).executeStep();
    {
        SQLite::Transaction transaction(copy, SQLite::TransactionBehavior::EXCLUSIVE);
        notes = JournalSchema::upgrade(copy, version);
        transaction.commit();
    }
    files->database.reset();
    files->database.emplace(std::move(copy));
}

// Asked of SQLite, which reads the log too: a newer version written only to
// the log is refused as surely as one in the file's header.
void SqliteConnection::checkVersion() {
    const std::int32_t version = files->database->execAndGet("PRAGMA user_version").getInt();
    if (version > JournalSchema::version) {
        throw JournalError(JournalHeader::newerVersion(journalPath, version));
    }
}

SqliteConnection::~SqliteConnection() = default;

// A journal that ends before the point its anchor keeps lost records a till
// had committed: a log whose last frame was damaged, dropped by SQLite. A
// journal of this version that holds a day has its anchor: without it,
// records cut from its end would go unseen.
void SqliteConnection::checkAnchor(Access access) {
    const std::optional<JournalAnchor::Point> anchored = JournalAnchor::read(realPath);
    EntryTable table(*files->database);
    if (!anchored && foundVersion >= 8 && access != Access::reading &&
        access != Access::reanchoring && table.lastDayRow()) {
        throw JournalError(
            "journal " + journalPath + " has lost its anchor " + realPath +
            "-head, which tells when records were cut from its end: check the days with "
            "'restaurant days' against the restaurant's own records, then write a new anchor "
            "with 'restaurant verify --new-anchor'");
    }
    if (!anchored || anchored->day == 0) {
        return;
    }
    const std::optional<EntryTable::Day> row = table.dayRow(anchored->day);
    const std::optional<EntryTable::Day> last = table.lastDayRow();
    const bool lost = !row ? !last || last->number < anchored->day
                           : row->entries < anchored->entries ||
                                 (row->entries == anchored->entries && row->head != anchored->head);
    if (lost) {
        throw JournalError("journal " + journalPath +
                           " is damaged: it ends before the last record its till committed (day " +
                           std::to_string(anchored->day) + ", record " +
                           std::to_string(anchored->entries) + ")");
    }
}

// A file moved under the till gets what its log holds, which keeps the old
// name, checkpointed into it, so that nothing acknowledged stays behind.
void SqliteConnection::checkFile() {
    if (!files->file) {
        return;
    }
    try {
        if (moved) {
            throw JournalError("journal " + journalPath +
                               " was moved or deleted while the till ran");
        }
        files->file->checkStillThere();
    } catch (const JournalError&) {
        if (!moved) {
            moved = true;
            sqlite3_wal_checkpoint_v2(handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr,
                                      nullptr);
        }
        throw;
    }
}

void SqliteConnection::anchor(const EntryTable::Day& row) noexcept {
    if (files->anchor) {
        files->anchor->write({row.number, row.entries, row.head});
    }
}

void SqliteConnection::makeAnchor() {
    if (!files->anchor) {
        return;
    }
    const std::optional<EntryTable::Day> last = EntryTable(*files->database).lastDayRow();
    files->anchor->make(last ? JournalAnchor::Point{last->number, last->entries, last->head}
                             : JournalAnchor::Point{});
}

const std::vector<std::string>& SqliteConnection::upgradeNotes() const { return notes; }

SQLite::Database& SqliteConnection::database() { return *files->database; }

sqlite3* SqliteConnection::handle() { return files->database->getHandle(); }

const std::string& SqliteConnection::path() const { return journalPath; }

// A second name would let the file be changed, or kept aside, under a name
// nobody watches.
void SqliteConnection::checkOneName() const {
    struct stat status {};
    if (::stat(realPath.c_str(), &status) == 0 && status.st_nlink > 1) {
        throw JournalError(journalPath + " has " + std::to_string(status.st_nlink) + " names");
    }
}
