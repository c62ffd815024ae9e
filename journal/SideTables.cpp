#include "journal/SideTables.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/VariadicBind.h>
#include <cstring>
#include <utility>

#include "journal/EntryChain.h"
#include "journal/JournalEntry.h"

namespace {

bool sealedBy(const SQLite::Column& sealed, const EntryChain::Hash& hash) {
    return sealed.getBytes() == static_cast<int>(hash.size()) &&
           std::memcmp(sealed.getBlob(), hash.data(), hash.size()) == 0;
}

std::optional<std::int64_t> optionalWhole(const SQLite::Column& column) {
    return column.isNull() ? std::nullopt : std::optional<std::int64_t>(column.getInt64());
}

// Runs a statement that changes rows, with its values bound in order;
// returns how many rows it changed.
template <typename... Values>
int changeRows(SQLite::Database& database, const char* sql, const Values&... values) {
    SQLite::Statement statement(database, sql);
    SQLite::bind(statement, values...);
    return statement.exec();
}

}  // namespace

SideTables::SideTables(SQLite::Database& database, std::string path)
    : database(database), path(std::move(path)) {}

std::optional<Journal::StoredMenu> SideTables::menu() const {
    SQLite::Statement origin(database, "SELECT file, imported_at, hash FROM menu_import");
    if (!origin.executeStep()) {
        return std::nullopt;
    }
    Journal::StoredMenu stored{Menu(), origin.getColumn(0).getString(),
                               origin.getColumn(1).getInt64()};
    SQLite::Statement items(database,
                            "SELECT kind, name, price, cost, vat, course, station FROM menu_item "
                            "ORDER BY CASE kind WHEN 'dish' THEN 0 WHEN 'snack' THEN 1 "
                            "ELSE 2 END, position");
    while (items.executeStep()) {
        const std::optional<ItemKind> kind = kindNamed(items.getColumn(0).getString());
        MenuItem item{kind.value_or(ItemKind::dish), items.getColumn(1).getString(),
                      Money::fromCents(items.getColumn(2).getInt64()),
                      Money::fromCents(items.getColumn(3).getInt64()),
                      optionalWhole(items.getColumn(4))};
        item.course = optionalWhole(items.getColumn(5));
        if (!items.getColumn(6).isNull()) {
            item.station = items.getColumn(6).getString();
        }
        stored.menu.add(std::move(item));
    }
    if (!sealedBy(origin.getColumn(2),
                  EntryChain::menuHash(stored.menu, stored.file, stored.importedAt))) {
        throw JournalError("journal " + path + " is damaged: its menu does not match its hash");
    }
    return stored;
}

void SideTables::replaceMenu(const Journal::StoredMenu& stored) {
    const EntryChain::Hash hash = EntryChain::menuHash(stored.menu, stored.file, stored.importedAt);
    database.exec("DELETE FROM menu_item");
    SQLite::Statement insert(database,
                             "INSERT INTO menu_item (kind, position, name, price, cost, vat, "
                             "course, station) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    for (ItemKind kind : itemKinds) {
        int position = 0;
        for (const MenuItem& item : stored.menu.of(kind)) {
            insert.reset();
            insert.bind(1, std::string(kindWord(kind)));
            insert.bind(2, ++position);
            insert.bind(3, item.name);
            insert.bind(4, item.price.cents());
            insert.bind(5, item.cost.cents());
            item.vat ? insert.bind(6, *item.vat) : insert.bind(6);
            item.course ? insert.bind(7, *item.course) : insert.bind(7);
            item.station ? insert.bind(8, *item.station) : insert.bind(8);
            insert.exec();
        }
    }
    SQLite::Statement origin(database,
                             "INSERT OR REPLACE INTO menu_import (only, file, imported_at, "
                             "hash) VALUES (1, ?, ?, ?)");
    origin.bind(1, stored.file);
    origin.bind(2, stored.importedAt);
    origin.bind(3, hash.data(), static_cast<int>(hash.size()));
    origin.exec();
}

Settings SideTables::settings() const {
    Settings settings;
    SQLite::Statement select(database, "SELECT key, value, hash FROM setting");
    while (select.executeStep()) {
        const std::string key = select.getColumn(0).getString();
        const std::string value = select.getColumn(1).getString();
        if (!sealedBy(select.getColumn(2), EntryChain::settingHash(key, value))) {
            throw JournalError("journal " + path + " is damaged: its setting '" + key +
                               "' does not match its hash");
        }
        settings.set(key, value);
    }
    return settings;
}

void SideTables::putSetting(const std::string& key, const std::string& value) {
    const EntryChain::Hash hash = EntryChain::settingHash(key, value);
    SQLite::Statement put(database,
                          "INSERT OR REPLACE INTO setting (key, value, hash) VALUES (?, ?, ?)");
    put.bind(1, key);
    put.bind(2, value);
    put.bind(3, hash.data(), static_cast<int>(hash.size()));
    put.exec();
}

std::optional<Journal::KeptAnswer> SideTables::keptAnswer(const std::string& key) const {
    SQLite::Statement select(database, "SELECT answer, fingerprint FROM kept_answer WHERE key = ?");
    select.bind(1, key);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    const SQLite::Column fingerprint = select.getColumn(1);
    return Journal::KeptAnswer{key, fingerprint.isNull() ? std::string() : fingerprint.getString(),
                               select.getColumn(0).getString()};
}

void SideTables::keep(const Journal::KeptAnswer& kept, std::int32_t day) {
    SQLite::Statement put(
        database, "INSERT INTO kept_answer (key, answer, fingerprint, day) VALUES (?, ?, ?, ?)");
    put.bind(1, kept.key);
    put.bind(2, kept.answer);
    put.bind(3, kept.fingerprint.data(), static_cast<int>(kept.fingerprint.size()));
    put.bind(4, day);
    put.exec();
}

void SideTables::dropAnswersUpTo(std::int32_t day) {
    changeRows(database, "DELETE FROM kept_answer WHERE day <= ?", day);
}

// Read once a close, which can afford a scan of the entries.
std::int64_t SideTables::lastZ() const {
    static_assert(static_cast<int>(JournalEntry::Type::close) == 5, "closes are type 5");
    SQLite::Statement select(database, "SELECT COALESCE(MAX(z), 0) FROM entry WHERE type = 5");
    select.executeStep();
    return select.getColumn(0).getInt64();
}

std::vector<Journal::StaffMember> SideTables::staff() const {
    std::vector<Journal::StaffMember> all;
    SQLite::Statement select(database, "SELECT name, pin_hash, role FROM staff ORDER BY name");
    while (select.executeStep()) {
        all.push_back({select.getColumn(0).getString(), select.getColumn(1).getString(),
                       select.getColumn(2).getString()});
    }
    return all;
}

void SideTables::putStaff(const Journal::StaffMember& member) {
    changeRows(database, "INSERT OR REPLACE INTO staff (name, pin_hash, role) VALUES (?, ?, ?)",
               member.name, member.pinHash, member.role);
}

bool SideTables::removeStaff(const std::string& name) {
    changeRows(database, "DELETE FROM session WHERE staff = ?", name);
    return changeRows(database, "DELETE FROM staff WHERE name = ?", name) > 0;
}

std::vector<Journal::Session> SideTables::sessions() const {
    std::vector<Journal::Session> all;
    SQLite::Statement select(database, "SELECT token_hash, staff, opened_at, used_at FROM session");
    while (select.executeStep()) {
        all.push_back({select.getColumn(0).getString(), select.getColumn(1).getString(),
                       select.getColumn(2).getInt64(), select.getColumn(3).getInt64()});
    }
    return all;
}

void SideTables::putSession(const Journal::Session& session) {
    changeRows(database,
               "INSERT OR REPLACE INTO session (token_hash, staff, opened_at, used_at) "
               "VALUES (?, ?, ?, ?)",
               session.tokenHash, session.staff, session.opened, session.used);
}

void SideTables::endSession(const std::string& tokenHash) {
    changeRows(database, "DELETE FROM session WHERE token_hash = ?", tokenHash);
}
