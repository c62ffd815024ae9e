#pragma once

#include <SQLiteCpp/Database.h>
#include <optional>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "journal/Settings.h"

// SideTables reads and writes what a journal keeps beside its days: the
// menu, the restaurant's settings, the staff and the answers kept under
// request keys. The menu and each setting are sealed by a hash, checked on
// every read. The caller runs each call inside its own transaction.
class SideTables {
public:
    // `path` names the journal in what a damaged table says.
    SideTables(SQLite::Database& database, std::string path);

    std::optional<Journal::StoredMenu> menu() const;
    void replaceMenu(const Journal::StoredMenu& stored);
    Settings settings() const;
    void putSetting(const std::string& key, const std::string& value);
    std::optional<std::string> keptAnswer(const std::string& key) const;
    void keep(const Journal::KeptAnswer& kept);
    std::vector<Journal::StaffMember> staff() const;
    void putStaff(const Journal::StaffMember& member);
    bool removeStaff(const std::string& name);

private:
    SQLite::Database& database;
    std::string path;
};
