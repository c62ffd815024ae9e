#include "journal/SqliteJournal.h"

#include <SQLiteCpp/Backup.h>
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

#include "base/SaleId.h"
#include "journal/JournalLock.h"
#include "journal/JournalSchema.h"

namespace {

namespace fs = std::filesystem;

std::uint32_t bigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < count; ++at) {
        value = value << 8 | bytes[at];
    }
    return value;
}

std::string newerVersion(const std::string& path, std::int64_t version) {
    return path + " was written by a newer restaurant (journal version " + std::to_string(version) +
           "; this one reads up to " + std::to_string(JournalSchema::version) + ")";
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
    if (static_cast<std::int32_t>(bigEndian(&header[68], 4)) != JournalSchema::applicationId) {
        throw JournalError(notJournal + ": it is another program's SQLite database");
    }
    const std::uint32_t version = bigEndian(&header[60], 4);
    if (version > static_cast<std::uint32_t>(JournalSchema::version)) {
        throw JournalError(newerVersion(path, version));
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

Money moneyOf(const SQLite::Column& column) { return Money::fromCents(column.getInt64()); }

std::int32_t versionOf(SQLite::Database& database) {
    return database.execAndGet("PRAGMA user_version").getInt();
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
        if (access == Access::till) {
            openForTill(vfs);
        } else {
            openForReading(vfs);
        }
    } catch (const SQLite::Exception& failure) {
        const int code = failure.getErrorCode();
        if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
            throw JournalError("journal " + path + " is damaged: " + failure.what());
        }
        throw JournalError("cannot open journal " + path + ": " + failure.what());
    }
}

void SqliteJournal::openForTill(const std::string& vfs) {
    SQLite::Database& database =
        connection->database.emplace(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, 5000, vfs);
    // Nothing is written back on closing until the file proves sound.
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (database.execAndGet("PRAGMA application_id").getInt() == 0) {
        // A new file: made in one transaction before it turns to WAL, so
        // that its id and version sit in the file itself.
        SQLite::Transaction transaction(database, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::create(database);
        transaction.commit();
    }
    const std::string check = database.execAndGet("PRAGMA quick_check").getString();
    if (check != "ok") {
        throw JournalError("journal " + path + " is damaged: " + check);
    }
    database.exec("PRAGMA journal_mode = WAL");
    database.exec("PRAGMA synchronous = FULL");
    database.exec("PRAGMA foreign_keys = ON");
    const std::int32_t version = versionOf(database);
    if (version > JournalSchema::version) {
        throw JournalError(newerVersion(path, version));
    }
    if (version < JournalSchema::version) {
        SQLite::Transaction transaction(database, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::upgrade(database, version);
        transaction.commit();
    }
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
}

// A journal of an older version is read from a copy in memory, brought up
// to this version there: the file stays as its till left it.
void SqliteJournal::openForReading(const std::string& vfs) {
    SQLite::Database& database =
        connection->database.emplace(path, SQLite::OPEN_READONLY, 5000, vfs);
    sqlite3_db_config(database.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const std::int32_t version = versionOf(database);
    if (version > JournalSchema::version) {
        throw JournalError(newerVersion(path, version));
    }
    if (version == JournalSchema::version) {
        return;
    }
    SQLite::Database copy(":memory:", SQLite::OPEN_READWRITE);
    SQLite::Backup(copy, database).executeStep();
    {
        SQLite::Transaction transaction(copy, SQLite::TransactionBehavior::EXCLUSIVE);
        JournalSchema::upgrade(copy, version);
        transaction.commit();
    }
    connection->database.reset();
    connection->database.emplace(std::move(copy));
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
                         item.name, item.price.cents(), item.cost.cents(), item.addedAt);
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
        SQLite::Statement forget(database,
                                 "DELETE FROM day WHERE number = ? AND NOT EXISTS ("
                                 " SELECT 1 FROM item WHERE day = ?)");
        SQLite::bind(forget, openNumber, openNumber);
        if (forget.exec() == 1) {
            return;
        }
        SQLite::Statement close(database, "UPDATE day SET closed_at = ? WHERE number = ?");
        SQLite::bind(close, at, openNumber);
        close.exec();
    });
}

void SqliteJournal::leaveDayOpen() {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        SQLite::Statement forget(database,
                                 "DELETE FROM day WHERE number = ? AND closed_at IS NULL"
                                 " AND NOT EXISTS (SELECT 1 FROM item WHERE day = ?)");
        SQLite::bind(forget, openNumber, openNumber);
        forget.exec();
    });
}

std::optional<Journal::StoredMenu> SqliteJournal::storedMenu() {
    SQLite::Database& database = *connection->database;
    try {
        SQLite::Statement origin(database, "SELECT file, imported_at FROM menu_import");
        if (!origin.executeStep()) {
            return std::nullopt;
        }
        StoredMenu stored{Menu(), origin.getColumn(0).getString(), origin.getColumn(1).getInt64()};
        SQLite::Statement items(database,
                                "SELECT kind, name, price, cost FROM menu_item "
                                "ORDER BY CASE kind WHEN 'dish' THEN 0 WHEN 'snack' THEN 1 "
                                "ELSE 2 END, position");
        while (items.executeStep()) {
            stored.menu.add({kindOf(items.getColumn(0).getString()), items.getColumn(1).getString(),
                             moneyOf(items.getColumn(2)), moneyOf(items.getColumn(3))});
        }
        return stored;
    } catch (const SQLite::Exception& failure) {
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
}

void SqliteJournal::replaceMenu(const StoredMenu& stored) {
    inOneTransaction(*connection->database, [&](SQLite::Database& database) {
        database.exec("DELETE FROM menu_item");
        SQLite::Statement insert(database,
                                 "INSERT INTO menu_item (kind, position, name, price, cost) "
                                 "VALUES (?, ?, ?, ?, ?)");
        for (ItemKind kind : itemKinds) {
            int position = 0;
            for (const MenuItem& item : stored.menu.of(kind)) {
                SQLite::bind(insert, std::string(kindWord(kind)), ++position, item.name,
                             item.price.cents(), item.cost.cents());
                insert.exec();
                insert.reset();
            }
        }
        SQLite::Statement origin(database,
                                 "INSERT OR REPLACE INTO menu_import (only, file, imported_at) "
                                 "VALUES (1, ?, ?)");
        SQLite::bind(origin, stored.file, stored.importedAt);
        origin.exec();
    });
}

std::vector<DayLine> SqliteJournal::days() {
    std::vector<DayLine> lines;
    try {
        SQLite::Statement select(*connection->database,
                                 "SELECT d.number, d.opened_at, d.closed_at,"
                                 " (SELECT count(*) FROM customer AS c WHERE c.day = d.number),"
                                 " (SELECT coalesce(sum(i.price), 0) FROM item AS i"
                                 "  JOIN customer AS c ON c.day = i.day AND c.number = i.customer"
                                 "  WHERE i.day = d.number AND i.removed_at IS NULL)"
                                 " FROM day AS d ORDER BY d.number");
        while (select.executeStep()) {
            lines.push_back({select.getColumn(0).getInt(), select.getColumn(1).getInt64(),
                             momentOr(select.getColumn(2)), select.getColumn(3).getInt64(),
                             moneyOf(select.getColumn(4))});
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
                                    items.getColumn(2).getString(), moneyOf(items.getColumn(3)),
                                    moneyOf(items.getColumn(4)), items.getColumn(5).getInt64(),
                                    momentOr(items.getColumn(6))});
        }
    } catch (const SQLite::Exception& failure) {
        throw JournalError("cannot read journal " + path + ": " + failure.what());
    }
    return record;
}

sqlite3* SqliteJournal::handle() { return connection->database->getHandle(); }
