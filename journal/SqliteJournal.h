#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/Journal.h"

struct sqlite3;

// SqliteJournal keeps the days in one SQLite file. Every change is one
// transaction, committed in WAL mode with full syncing, so that what was
// committed survives a crash or a power cut. The file carries an application
// id and a schema version: a file that is not a journal, is damaged, or was
// written by a newer version is refused with a JournalError and left as it
// was, byte for byte. A journal of an older version is brought up to this
// one in one transaction when a till opens it; a reader brings a copy of it
// up in memory and leaves the file as it is.
class SqliteJournal final : public Journal {
public:
    enum class Access {
        // The till's: makes the file and its folder when missing, and holds
        // the journal's lock for as long as it lives.
        till,
        // A reader's, beside a running till or none: the file must exist.
        reading,
    };

    // Opens the journal at `path`. `vfs` names an SQLite VFS, for tests that
    // inject faults; empty, the default one serves.
    SqliteJournal(const std::string& path, Access access, const std::string& vfs = "");
    SqliteJournal(const SqliteJournal&) = delete;
    SqliteJournal& operator=(const SqliteJournal&) = delete;
    ~SqliteJournal() override;

    OpenDay openDay(Moment now) override;
    void addItems(const JournalItem& item, int count) override;
    void removeItem(std::int32_t customer, ItemKind kind, int position, Moment at) override;
    void clearCart(std::int32_t customer, Moment at) override;
    void pay(std::int32_t customer, Moment at) override;
    void closeDay(Moment at) override;
    void leaveDayOpen() override;
    std::optional<StoredMenu> storedMenu() override;
    void replaceMenu(const StoredMenu& stored) override;

    std::vector<DayLine> days() override;
    std::optional<DayRecord> day(std::int32_t number) override;

    // Returns the SQLite connection, for tests that hook into it.
    sqlite3* handle();

private:
    struct Connection;

    void openForTill(const std::string& vfs);
    void openForReading(const std::string& vfs);

    std::string path;
    std::unique_ptr<Connection> connection;
    // The number of the open day, once openDay has found or made it.
    std::int32_t openNumber = 0;
};
