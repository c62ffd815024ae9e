#include "journal/JournalSchema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "journal/DayLines.h"
#include "journal/DayReplay.h"
#include "journal/EntryChain.h"
#include "journal/EntryTable.h"
#include "journal/Journal.h"
#include "journal/PrintQueueTable.h"

namespace {

static_assert(JournalSchema::applicationId == 1919251316 && JournalSchema::version == 10,
              "the schema's PRAGMAs carry the id and the version");

// The menu the restaurant sells, with the file it came from and the hash
// that seals it.
const char* const menuTables = R"(
CREATE TABLE menu_item (
    kind TEXT NOT NULL CHECK (kind IN ('dish', 'snack', 'drink')),
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    price INTEGER NOT NULL,
    cost INTEGER NOT NULL,
    PRIMARY KEY (kind, position)
) WITHOUT ROWID;
CREATE TABLE menu_import (
    only INTEGER PRIMARY KEY CHECK (only = 1),
    file TEXT NOT NULL,
    imported_at INTEGER NOT NULL
);
)";

// Version 1 kept amounts as doubles read from two-decimal text; each rounds
// to the cent it was written as.
const char* const centsFromVersion1 = R"(
CREATE TABLE item_in_cents (
    id INTEGER PRIMARY KEY,
    day INTEGER NOT NULL REFERENCES day (number),
    customer INTEGER NOT NULL,
    kind TEXT NOT NULL CHECK (kind IN ('dish', 'snack', 'drink')),
    name TEXT NOT NULL,
    price INTEGER NOT NULL,
    cost INTEGER NOT NULL,
    added_at INTEGER NOT NULL,
    removed_at INTEGER
);
INSERT INTO item_in_cents
    SELECT id, day, customer, kind, name, CAST(round(price * 100) AS INTEGER),
           CAST(round(cost * 100) AS INTEGER), added_at, removed_at
    FROM item ORDER BY id;
DROP INDEX item_in_cart;
DROP TABLE item;
ALTER TABLE item_in_cents RENAME TO item;
)";

ItemKind kindOf(const std::string& word) {
    const std::optional<ItemKind> kind = kindNamed(word);
    if (!kind) {
        throw JournalError("the journal holds an item of unknown kind '" + word + "'");
    }
    return *kind;
}

// The entries a version 2 day's rows stand for, numbered as they are made.
struct Version2Day {
    std::int32_t day = 0;
    std::vector<JournalEntry> entries;

    void append(JournalEntry entry) {
        entry.day = day;
        entry.seq = static_cast<std::int64_t>(entries.size()) + 1;
        entries.push_back(std::move(entry));
    }
};

// Every item added, in the order added; returns when each removed item was
// removed, by the seq of the entry that added it.
std::vector<std::pair<std::int64_t, Moment>> itemsOfVersion2(SQLite::Database& database,
                                                             Version2Day& made) {
    std::vector<std::pair<std::int64_t, Moment>> removals;
    SQLite::Statement items(database,
                            "SELECT customer, kind, name, price, cost, added_at, removed_at "
                            "FROM item WHERE day = ? ORDER BY id");
    items.bind(1, made.day);
    while (items.executeStep()) {
        JournalEntry added =
            JournalEntry::of(JournalEntry::Type::add, items.getColumn(5).getInt64());
        added.customer = items.getColumn(0).getInt();
        added.kind = kindOf(items.getColumn(1).getString());
        added.name = items.getColumn(2).getString();
        added.price = Money::fromCents(items.getColumn(3).getInt64());
        added.cost = Money::fromCents(items.getColumn(4).getInt64());
        made.append(added);
        if (!items.getColumn(6).isNull()) {
            removals.emplace_back(made.entries.back().seq, items.getColumn(6).getInt64());
        }
    }
    return removals;
}

// Version 2 kept a day as rows of items, customers and the day; version 3
// keeps the entries that make it. The entries a day's rows stand for: its
// opening, every item added in the order added, every removal in the order
// made, every payment in the order of the customers' numbers, its closing.
std::vector<JournalEntry> entriesOfVersion2(SQLite::Database& database, std::int32_t day,
                                            Moment openedAt, std::optional<Moment> closedAt) {
    Version2Day made{day, {}};
    made.append(JournalEntry::of(JournalEntry::Type::open, openedAt));
    std::vector<std::pair<std::int64_t, Moment>> removals = itemsOfVersion2(database, made);
    std::stable_sort(removals.begin(), removals.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    for (const auto& [item, at] : removals) {
        JournalEntry removal = JournalEntry::of(JournalEntry::Type::remove, at);
        removal.item = item;
        made.append(removal);
    }
    SQLite::Statement customers(
        database, "SELECT number, sale_id, paid_at FROM customer WHERE day = ? ORDER BY number");
    customers.bind(1, day);
    while (customers.executeStep()) {
        JournalEntry paid =
            JournalEntry::of(JournalEntry::Type::pay, customers.getColumn(2).getInt64());
        paid.customer = customers.getColumn(0).getInt();
        paid.saleId = customers.getColumn(1).getString();
        made.append(paid);
    }
    if (closedAt) {
        made.append(JournalEntry::of(JournalEntry::Type::close, *closedAt));
    }
    return made.entries;
}

void entriesFromVersion2(SQLite::Database& database) {
    database.exec("ALTER TABLE day RENAME TO day_of_version_2");
    // Made as entries are kept now: the steps after version 3 have nothing
    // left to do for them.
    EntryTable::create(database);
    EntryTable table(database);
    EntryChain::Hash chained = EntryChain::genesis();
    SQLite::Statement days(database,
                           "SELECT number, opened_at, closed_at FROM day_of_version_2 "
                           "ORDER BY number");
    while (days.executeStep()) {
        const std::int32_t number = days.getColumn(0).getInt();
        const std::optional<Moment> closedAt =
            days.getColumn(2).isNull() ? std::nullopt
                                       : std::optional<Moment>(days.getColumn(2).getInt64());
        EntryTable::Day row{number, chained, 0, chained};
        for (const JournalEntry& entry :
             entriesOfVersion2(database, number, days.getColumn(1).getInt64(), closedAt)) {
            chained = EntryChain::next(chained, entry);
            table.insert(entry, chained);
            row.entries = entry.seq;
        }
        row.head = chained;
        table.putDay(row);
    }
    database.exec("DROP TABLE customer; DROP TABLE item; DROP TABLE day_of_version_2;");
}

// The menu gets the hash that seals it.
void sealMenu(SQLite::Database& database) {
    database.exec("ALTER TABLE menu_import ADD COLUMN hash BLOB");
    SQLite::Statement origin(database, "SELECT file, imported_at FROM menu_import");
    if (!origin.executeStep()) {
        return;
    }
    const std::string file = origin.getColumn(0).getString();
    const Moment importedAt = origin.getColumn(1).getInt64();
    Menu menu;
    SQLite::Statement items(database,
                            "SELECT kind, name, price, cost FROM menu_item ORDER BY "
                            "CASE kind WHEN 'dish' THEN 0 WHEN 'snack' THEN 1 ELSE 2 END, "
                            "position");
    while (items.executeStep()) {
        menu.add({kindOf(items.getColumn(0).getString()), items.getColumn(1).getString(),
                  Money::fromCents(items.getColumn(2).getInt64()),
                  Money::fromCents(items.getColumn(3).getInt64()), std::nullopt});
    }
    const EntryChain::Hash hash = EntryChain::menuHash(menu, file, importedAt);
    SQLite::Statement seal(database, "UPDATE menu_import SET hash = ?");
    seal.bind(1, hash.data(), static_cast<int>(hash.size()));
    seal.exec();
}

}  // namespace

// The restaurant's settings, each sealed by a hash of its key and value.
const char* const settingTable = R"(
CREATE TABLE setting (
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL,
    hash BLOB NOT NULL
) WITHOUT ROWID;
)";

// The staff who may sign in to the web till, and the answers kept under the
// keys of the requests that changed the day, each with a hash of the request
// it answered and the day it was kept in.
const char* const webTables = R"(
CREATE TABLE staff (
    name TEXT PRIMARY KEY,
    pin_hash TEXT NOT NULL
) WITHOUT ROWID;
CREATE TABLE kept_answer (
    key TEXT PRIMARY KEY,
    answer TEXT NOT NULL,
    fingerprint BLOB,
    day INTEGER
) WITHOUT ROWID;
)";

// Version 10 keeps discounts, the drawer, payments in parts, tips, service
// charges, approvals and Z numbers.
const char* const moneyColumns =
    "ALTER TABLE entry ADD COLUMN approver TEXT; ALTER TABLE entry ADD COLUMN amount INTEGER; "
    "ALTER TABLE entry ADD COLUMN percent INTEGER; ALTER TABLE entry ADD COLUMN discount INTEGER; "
    "ALTER TABLE entry ADD COLUMN charge INTEGER; ALTER TABLE entry ADD COLUMN tip INTEGER; "
    "ALTER TABLE entry ADD COLUMN z INTEGER; ALTER TABLE entry ADD COLUMN parts INTEGER;";

// Staff have roles from version 10: a new member is a waiter, and those
// found at the upgrade become managers, who could do everything before.
const char* const staffRoles =
    "ALTER TABLE staff ADD COLUMN role TEXT NOT NULL DEFAULT 'waiter'; "
    "UPDATE staff SET role = 'manager';";

// Fields added to entries later are absent from older ones, which keep their
// hashes.
static void widenEntries(SQLite::Database& database, std::int32_t from) {
    if (from < 4) {
        // Version 4 names the order of each entry by its table.
        database.exec("ALTER TABLE entry ADD COLUMN label TEXT");
    }
    if (from < 5) {
        // Version 5 keeps VAT rates, payments by method, and voids.
        database.exec(
            "ALTER TABLE entry ADD COLUMN vat INTEGER; ALTER TABLE entry ADD COLUMN method "
            "TEXT; ALTER TABLE entry ADD COLUMN given INTEGER; ALTER TABLE entry ADD COLUMN "
            "reason TEXT;");
    }
    if (from < 6) {
        // Version 6 names the member of staff behind an entry.
        database.exec("ALTER TABLE entry ADD COLUMN staff TEXT");
    }
    if (from < 7) {
        // Version 7 writes each day's line with its close.
        database.exec(
            "ALTER TABLE entry ADD COLUMN opened INTEGER; ALTER TABLE entry ADD COLUMN customers "
            "INTEGER; ALTER TABLE entry ADD COLUMN revenue INTEGER;");
    }
    if (from < 9) {
        // Version 9 keeps each item's note, course and station, and the tickets.
        database.exec(
            "ALTER TABLE entry ADD COLUMN note TEXT; ALTER TABLE entry ADD COLUMN course INTEGER; "
            "ALTER TABLE entry ADD COLUMN station TEXT; ALTER TABLE entry ADD COLUMN ticket "
            "INTEGER; ALTER TABLE entry ADD COLUMN heading TEXT;");
    }
    database.exec(moneyColumns);
}

// Version 7 writes each day's line of `days` with its close, keeps the lines
// of the days closed before in a table of their own, binds each kept answer
// to its request, and finds a sale by its id.
static void linesAndBoundAnswers(SQLite::Database& database, std::int32_t from) {
    database.exec("CREATE INDEX IF NOT EXISTS entry_sale ON entry (sale_id) WHERE type = 4;");
    if (from == 6) {
        // Answers kept before they were bound to a request count as kept in
        // the last day, and go with it.
        database.exec(
            "ALTER TABLE kept_answer ADD COLUMN fingerprint BLOB; ALTER TABLE kept_answer ADD "
            "COLUMN day INTEGER; UPDATE kept_answer SET day = (SELECT max(number) FROM day);");
    }
    DayLines::create(database);
    DayLines::computeForClosedDays(database);
}

// The signed-in devices' sessions, and the signatures of the days' heads.
const char* const version8Tables = R"(
CREATE TABLE session (
    token_hash TEXT PRIMARY KEY,
    staff TEXT NOT NULL,
    opened_at INTEGER NOT NULL,
    used_at INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE day_signature (
    day INTEGER PRIMARY KEY,
    signature BLOB NOT NULL
);
)";

const char* const kitchenMenuColumns =
    "ALTER TABLE menu_item ADD COLUMN course INTEGER; ALTER TABLE menu_item ADD COLUMN station "
    "TEXT;";

// Staff sign in by name as names compare: two names that compare equal
// would leave a sign-in to either.
static void refuseStaffOfOneName(SQLite::Database& database) {
    std::map<std::string, std::string> byName;
    SQLite::Statement names(database, "SELECT name FROM staff ORDER BY name");
    while (names.executeStep()) {
        const std::string name = names.getColumn(0).getString();
        const auto [found, isNew] = byName.emplace(foldedName(name), name);
        if (!isNew) {
            throw JournalError("the staff names '" + found->second + "' and '" + name +
                               "' are one name when signing in: remove one with the version "
                               "that wrote the journal, then open it again");
        }
    }
}

// "counter" names the counter's order: an open table of that label gets
// another, by an entry of its day's chain.
static std::vector<std::string> renameCounterTables(SQLite::Database& database) {
    EntryTable table(database);
    std::optional<EntryTable::Day> row = table.lastDayRow();
    if (!row || table.lastTypeOf(*row) == JournalEntry::Type::close) {
        return {};
    }
    DayReplay day(row->number);
    Moment last = 0;
    for (const auto& [entry, hash] : table.entriesOf(row->number, row->entries)) {
        day.apply(entry);
        last = entry.at;
    }
    std::vector<std::string> said;
    for (const OpenOrder* order : day.orders()) {
        if (order->label.empty() || foldedLabel(order->label) != "counter") {
            continue;
        }
        std::string renamed = "counter-table";
        for (int more = 2; day.order(renamed) != nullptr; ++more) {
            renamed = "counter-table-" + std::to_string(more);
        }
        JournalEntry entry = JournalEntry::of(JournalEntry::Type::relabel, last);
        entry.day = row->number;
        entry.seq = ++row->entries;
        entry.label = order->label;
        entry.name = renamed;
        row->head = EntryChain::next(row->head, entry);
        table.insert(entry, row->head);
        said.push_back("table " + order->label + " of day " + std::to_string(row->number) +
                       " is now " + renamed + ": counter names the counter's order");
    }
    table.putDay(*row);
    return said;
}

void JournalSchema::create(SQLite::Database& database) {
    database.exec("PRAGMA application_id = 1919251316");
    EntryTable::create(database);
    database.exec(menuTables);
    database.exec("ALTER TABLE menu_import ADD COLUMN hash BLOB");
    database.exec("ALTER TABLE menu_item ADD COLUMN vat INTEGER");
    database.exec(settingTable);
    database.exec(webTables);
    DayLines::create(database);
    database.exec(version8Tables);
    database.exec(kitchenMenuColumns);
    PrintQueueTable::create(database);
    database.exec("ALTER TABLE staff ADD COLUMN role TEXT NOT NULL DEFAULT 'waiter';");
    database.exec("PRAGMA user_version = 10");
}

std::vector<std::string> JournalSchema::upgrade(SQLite::Database& database, std::int32_t from) {
    if (from < 2) {
        database.exec(centsFromVersion1);
        database.exec(menuTables);
    }
    if (from < 3) {
        entriesFromVersion2(database);
        sealMenu(database);
    } else {
        widenEntries(database, from);
    }
    if (from < 5) {
        database.exec("ALTER TABLE menu_item ADD COLUMN vat INTEGER");
        database.exec(settingTable);
    }
    if (from < 6) {
        database.exec(webTables);
    }
    if (from < 7) {
        linesAndBoundAnswers(database, from);
    }
    refuseStaffOfOneName(database);
    if (from < 8) {
        database.exec(version8Tables);
    }
    if (from < 9) {
        // Version 9 keeps each menu item's course and station, and the queue.
        database.exec(kitchenMenuColumns);
        PrintQueueTable::create(database);
    }
    database.exec(staffRoles);
    std::vector<std::string> said = renameCounterTables(database);
    database.exec("PRAGMA user_version = " + std::to_string(version));
    return said;
}
