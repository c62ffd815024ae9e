#include "journal/JournalSchema.h"

#include <SQLiteCpp/Database.h>
#include <string>

namespace {

static_assert(JournalSchema::applicationId == 1919251316 && JournalSchema::version == 2,
              "the schema's PRAGMAs carry the id and the version");

// Each item is kept by value, amounts in cents; a removed one keeps the
// moment it was removed. Customers get a row when they pay, so the items of
// the customer at the till have none yet. The menu the restaurant sells is
// kept too, with the file it came from.
const char* const tables = R"(
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
    price INTEGER NOT NULL,
    cost INTEGER NOT NULL,
    added_at INTEGER NOT NULL,
    removed_at INTEGER
);
CREATE INDEX item_in_cart ON item (day, customer, kind);
)";

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
CREATE INDEX item_in_cart ON item (day, customer, kind);
)";

}  // namespace

void JournalSchema::create(SQLite::Database& database) {
    database.exec("PRAGMA application_id = 1919251316");
    database.exec(tables);
    database.exec(menuTables);
    database.exec("PRAGMA user_version = 2");
}

void JournalSchema::upgrade(SQLite::Database& database, std::int32_t from) {
    if (from < 2) {
        database.exec(centsFromVersion1);
        database.exec(menuTables);
    }
    database.exec("PRAGMA user_version = " + std::to_string(version));
}
