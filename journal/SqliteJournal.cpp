#include "journal/SqliteJournal.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <SQLiteCpp/VariadicBind.h>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <utility>

#include "journal/JournalLock.h"
#include "journal/SaleId.h"

namespace {

namespace fs = std::filesystem;

// Each item is kept by value; a removed one keeps the moment it was removed.
// Customers get a row when they pay, so the items of the customer at the
// till have none yet. The file says what it is in its header: the
// application id "rest" and the schema's version.
static_assert(SqliteJournal::applicationId == 1919251316 && SqliteJournal::schemaVersion == 1,
              "the schema's PRAGMAs carry the id and the version");
const char* const schema = R"(
PRAGMA application_id = 1919251316;
PRAGMA user_version = 1;
CREATE TABLE day (
    number INTEGER PRIMARY KEY,
    opened_at INTEGER NOT NULL,
    closed_at INTEGER
);
CREATE TABLE customer (
    day INTEGER NOT NULL REFERENCES day (number),
    number INTEGER NOT NULL,
    sale_id TEXT NOT NULL UNIQUE,
    paid_at INTEGER NOT NULL,
    PRIMARY KEY (day, number)
) WITHOUT ROWID;
CREATE TABLE item (
    id INTEGER PRIMARY KEY,
    day INTEGER NOT NULL REFERENCES day (number),
    customer INTEGER NOT NULL,
    kind TEXT NOT NULL CHECK (kind IN ('dish', 'snack', 'drink')),
    name TEXT NOT NULL,
    price REAL NOT NULL,
    cost REAL NOT NULL,
    added_at INTEGER NOT NULL,
    removed_at INTEGER
);
CREATE INDEX item_in_cart ON item (day, customer, kind);
)";

std::uint32_t bigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < count; ++at) {
        value = value << 8 | bytes[at];
    }
    return value;
}

// Reads what the file's first 100 bytes say it is, touching nothing: a file
// that is not a journal of ours never reaches SQLite, which might change it.
void checkHeader(const std::string& path) {
    std::array<unsigned char, 100> header{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    const auto length = static_cast<std::size_t>(in.gcount());
    if (length == 0) {
        return;  // a new, empty file
    }
    const std::string notJournal = path + " is not a restaurant journal";
    if (length < 16 || std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
        throw JournalError(notJournal);
    }
    const std::string damaged = "journal " + path + " is damaged";
    if (length < header.size()) {
        throw JournalError(damaged + ": it is cut short");
    }
    if (static_cast<std::int32_t>(bigEndian(&header[68], 4)) != SqliteJournal::applicationId) {
        throw JournalError(notJournal + ": it is another program's SQLite database");
    }
    const std::uint32_t version = bigEndian(&header[60], 4);
    if (version > static_cast<std::uint32_t>(SqliteJournal::schemaVersion)) {
        throw JournalError(path + " was written by a newer restaurant (journal version " +
                           std::to_string(version) + "; this one reads up to " +
                           std::to_string(SqliteJournal::schemaVersion) + ")");
    }
    // The page count in the header holds when the change counters agree; a
    // file shorter than it says was cut off, unless its WAL still holds the
    // pages a checkpoint had not yet written.
    const std::uint32_t pageSize =
        bigEndian(&header[16], 2) == 1 ? 65536 : bigEndian(&header[16], 2);
    const std::uint32_t pages = bigEndian(&header[28], 4);
    std::error_code error;
    const auto walSize = fs::file_size(path + "-wal", error);
    const bool walHoldsPages = !error && walSize > 0;
    if (pages != 0 && bigEndian(&header[24], 4) == bigEndian(&header[92], 4) && !walHoldsPages &&
        fs::file_size(path) < std::uintmax_t{pageSize} * pages) {
        throw JournalError(damaged + ": it is shorter than it says, cut off");
    }
}

ItemKind kindOf(const std::string& word) {
    const std::optional<ItemKind> kind = kindNamed(word);
    if (!kind) {
        throw JournalError("the journal holds an item of unknown kind '" + word + "'");
    }
    return *kind;
}

// Runs `work` in one transaction and commits it; a failure rolls all of it
// back and says why in a JournalError.
template <typename Work>
void inOneTransaction(SQLite::Database& database, Work work) {
    try {
        SQLite::Transaction transaction(database, SQLite::TransactionBehavior::IMMEDIATE);
        work(database);
        transaction.commit();
    } catch (const SQLite::Exception& failure) {
        throw JournalError(failure.what());
    }
}

std::optional<Moment> momentOr(const SQLite::Column& column) {
    if (column.isNull()) {
        return std::nullopt;
    }
    return column.getInt64();
}

}  // namespace

struct SqliteJournal::Connection {
    std::optional<JournalLock> lock;
    std::optional<SQLite::Database> database;
};

SqliteJournal::SqliteJournal(const std::string& path, Access access, const std::string& vfs)
    : path(path), connection(std::make_unique<Connection>()) {
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (access == Access::reading && !exists) {
        throw JournalError("there is no journal at " + path +
                           " yet: the till makes it when it first runs");
    }
    if (access == Access::till) {
        const fs::path folder = fs::absolute(path, error).parent_path();
        if (!fs::create_directories(folder, error) && error) {
            throw JournalError("cannot make the folder " + folder.string() + " for journal " +
                               path + ": " + error.message());
        }
        connection->lock.emplace(path);
    }
    if (exists && !fs::is_regular_file(path, error)) {
        throw JournalError(path + " is not a restaurant journal: it is not a file");
    }
    checkHeader(path);

    try {
        const int flags = access == Access::till ? SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE
                                                 : SQLite::OPEN_READONLY;
        SQLite::Database& database = connection->database.emplace(path, flags, 5000, vfs);
        // Nothing is written back on closing until the file proves sound.
        sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        if (access == Access::reading) {
            return;
        }
        if (database.execAndGet("PRAGMA application_id").getInt() == 0) {
            // A new file: made in one transaction before it turns to WAL, so
            // that its id and version sit in the file itself.
            SQLite::Transaction transaction(database, SQLite::TransactionBehavior::EXCLUSIVE);
            database.exec(schema);
            transaction.commit();
        }
        const std::string check = database.execAndGet("PRAGMA quick_check").getString();
        if (check != "ok") {
            throw JournalError("journal " + path + " is damaged: " + check);
        }
        database.exec("PRAGMA journal_mode = WAL");
        database.exec("PRAGMA synchronous = FULL");
        database.exec("PRAGMA foreign_keys = ON");
        sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    } catch (const SQLite::Exception& failure) {
        const int code = failure.getErrorCode();
        if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
            throw JournalError("journal " + path + " is damaged: " + failure.what());
        }
        throw JournalError("cannot open journal " + path + ": " + failure.what());
    }
}

SqliteJournal::~SqliteJournal() = default;

Journal::OpenDay SqliteJournal::openDay(Moment now) {
    SQLite::Database& database = *connection->database;
    bool resumed = false;
    inOneTransaction(database, [&](SQLite::Database& opening) {
        SQLite::Statement open(opening,
                               "SELECT number FROM day WHERE closed_at IS NULL "
                               "ORDER BY number DESC LIMIT 1");
        if (open.executeStep()) {
            openNumber = open.getColumn(0).getInt();
            resumed = true;
            return;
        }
        SQLite::Statement insert(opening,
                                 "INSERT INTO day (number, opened_at) "
                                 "VALUES ((SELECT coalesce(max(number), 0) + 1 FROM day), ?)");
        insert.bind(1, now);
        insert.exec();
        openNumber = static_cast<std::int32_t>(opening.getLastInsertRowid());
    });
    std::optional<DayRecord> record = day(openNumber);
    if (!record) {
        throw JournalError("the open day vanished from journal " + path);
    }
    return {std::move(*record), resumed};
}

void SqliteJournal::addItems(const JournalItem& item, int count) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement insert(
            database,
            "INSERT INTO item (day, customer, kind, name, price, cost, added_at) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (int copy = 0; copy < count; ++copy) {
            SQLite::bind(insert, openNumber, item.customer, std::string(kindWord(item.kind)),
                         item.name, item.price, item.cost, item.addedAt);
            insert.exec();
            insert.reset();
        }
    });
}

void SqliteJournal::removeItem(std::int32_t customer, ItemKind kind, int position, Moment at) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement remove(
            database,
            "UPDATE item SET removed_at = ? WHERE id = ("
            " SELECT id FROM item"
            " WHERE day = ? AND customer = ? AND kind = ? AND removed_at IS NULL"
            " ORDER BY id LIMIT 1 OFFSET ?)");
        SQLite::bind(remove, at, openNumber, customer, std::string(kindWord(kind)), position - 1);
        if (remove.exec() != 1) {
            throw JournalError("the cart holds no such item");
        }
    });
}

void SqliteJournal::clearCart(std::int32_t customer, Moment at) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement clear(database,
                                "UPDATE item SET removed_at = ? "
                                "WHERE day = ? AND customer = ? AND removed_at IS NULL");
        SQLite::bind(clear, at, openNumber, customer);
        clear.exec();
    });
}

void SqliteJournal::pay(std::int32_t customer, Moment at) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement insert(
            database, "INSERT INTO customer (day, number, sale_id, paid_at) VALUES (?, ?, ?, ?)");
        SQLite::bind(insert, openNumber, customer, newSaleId(), at);
        insert.exec();
    });
}

void SqliteJournal::closeDay(Moment at) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement close(database, "UPDATE day SET closed_at = ? WHERE number = ?");
        SQLite::bind(close, at, openNumber);
        close.exec();
    });
}

std::vector<DayLine> SqliteJournal::days() {
    std::vector<DayLine> lines;
    try {
        SQLite::Statement select(*connection->database,
                                 "SELECT d.number, d.opened_at, d.closed_at,"
                                 " (SELECT count(*) FROM customer AS c WHERE c.day = d.number),"
                                 " (SELECT total(i.price) FROM item AS i"
                                 "  JOIN customer AS c ON c.day = i.day AND c.number = i.customer"
                                 "  WHERE i.day = d.number AND i.removed_at IS NULL)"
                                 " FROM day AS d ORDER BY d.number");
        while (select.executeStep()) {
            lines.push_back({select.getColumn(0).getInt(), select.getColumn(1).getInt64(),
                             momentOr(select.getColumn(2)), select.getColumn(3).getInt64(),
                             select.getColumn(4).getDouble()});
        }
    } catch (const SQLite::Exception& failure) {
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
    return lines;
}

// One query per table, whatever the size of the day.
std::optional<DayRecord> SqliteJournal::day(std::int32_t number) {
    SQLite::Database& database = *connection->database;
    DayRecord record;
    try {
        SQLite::Statement day(database, "SELECT opened_at, closed_at FROM day WHERE number = ?");
        day.bind(1, number);
        if (!day.executeStep()) {
            return std::nullopt;
        }
        record.number = number;
        record.openedAt = day.getColumn(0).getInt64();
        record.closedAt = momentOr(day.getColumn(1));

        SQLite::Statement customers(
            database,
            "SELECT number, sale_id, paid_at FROM customer WHERE day = ? ORDER BY number");
        customers.bind(1, number);
        while (customers.executeStep()) {
            record.customers.push_back({customers.getColumn(0).getInt(),
                                        customers.getColumn(1).getString(),
                                        customers.getColumn(2).getInt64()});
        }

        SQLite::Statement items(database,
                                "SELECT customer, kind, name, price, cost, added_at, removed_at "
                                "FROM item WHERE day = ? ORDER BY id");
        items.bind(1, number);
        while (items.executeStep()) {
            record.items.push_back({items.getColumn(0).getInt(),
                                    kindOf(items.getColumn(1).getString()),
                                    items.getColumn(2).getString(), items.getColumn(3).getDouble(),
                                    items.getColumn(4).getDouble(), items.getColumn(5).getInt64(),
                                    momentOr(items.getColumn(6))});
        }
    } catch (const SQLite::Exception& failure) {
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
    return record;
}

sqlite3* SqliteJournal::handle() { return connection->database->getHandle(); }
