#pragma once

#include <SQLiteCpp/Database.h>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "journal/Settings.h"

// SideTables reads and writes what a journal keeps beside its days: the
// menu, the restaurant's settings, the staff, their sessions and the
// answers kept under request keys. The menu and each setting are sealed by a hash, checked on
// every read. The caller runs each call inside its own transaction.
class SideTables {
public:
    // `path` names the journal in what a damaged table says.
    SideTables(SQLite::Database& database, std::string path);

    std::optional<Journal::StoredMenu> menu() const;
    void replaceMenu(const Journal::StoredMenu& stored);
    Settings settings() const;
    void putSetting(const std::string& key, const std::string& value);
    std::optional<Journal::KeptAnswer> keptAnswer(const std::string& key) const;
    // Keeps the answer with the day it was given in.
    void keep(const Journal::KeptAnswer& kept, std::int32_t day);
    // Drops the answers given in that day and the days before it.
    void dropAnswersUpTo(std::int32_t day);
    std::vector<Journal::StaffMember> staff() const;
    // Returns the Z number of the last close that had one, 0 before any.
    std::int64_t lastZ() const;
    void putStaff(const Journal::StaffMember& member);
    // Removes the member of staff and their sessions.
    bool removeStaff(const std::string& name);
    std::vector<Journal::Session> sessions() const;
    void putSession(const Journal::Session& session);
    void endSession(const std::string& tokenHash);

private:
    SQLite::Database& database;
    std::string path;
};
