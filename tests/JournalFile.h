#pragma once

#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <string>

// Returns the bytes of a file, to tell whether anything changed them.
inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Changes a journal behind the program's back, as someone with the file
// might: runs the SQL on a connection of its own; returns SQLite's code.
inline int tamper(const std::string& path, const char* sql) {
    sqlite3* database = nullptr;
    int result = sqlite3_open(path.c_str(), &database);
    if (result == SQLITE_OK) {
        result = sqlite3_exec(database, sql, nullptr, nullptr, nullptr);
    }
    sqlite3_close(database);
    return result;
}

// Returns what SQLite's PRAGMA integrity_check says of a journal, on a
// connection of its own: "ok", or what is wrong.
inline std::string integrityOf(const std::string& path) {
    sqlite3* database = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(database, "PRAGMA integrity_check", -1, &check, nullptr);
        result = sqlite3_step(check) == SQLITE_ROW
                     ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0))
                     : sqlite3_errmsg(database);
        sqlite3_finalize(check);
    }
    sqlite3_close(database);
    return result;
}
