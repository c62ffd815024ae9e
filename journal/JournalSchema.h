#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

// JournalSchema is the journal's tables, and the steps that bring a journal
// of an older version up to them. The file says what it is in its header:
// the application id "rest" and the schema's version.
class JournalSchema {
public:
    static constexpr std::int32_t applicationId = 0x72657374;  // "rest"
    static constexpr std::int32_t version = 10;

    // Makes the tables in a new, empty database.
    static void create(SQLite::Database& database);
    // Brings a journal of version `from` up to this version, within the
    // caller's transaction; returns what the upgrade changed that its owner
    // should hear of. Throws JournalError when it cannot be brought up.
    [[nodiscard]] static std::vector<std::string> upgrade(SQLite::Database& database,
                                                          std::int32_t from);
};
