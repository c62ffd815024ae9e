#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What `restaurant serve` is asked.
struct ServeRequest {
    std::string listen = "127.0.0.1:8080";
    // Names devices reach the till by, beside its addresses.
    std::vector<std::string> hostnames;
    std::string certificate;
    std::string key;
    std::string menuFile;
    std::string journalFile;
    std::int64_t vat = 0;
    // The file of the key that signs the days' heads; empty, the default's.
    std::string signingKey;
    // The head office's database to ship to in the background; empty, none.
    std::string shipTo;
};

// Runs the web till until SIGTERM or SIGINT, the day left open; returns the
// program's exit status.
int serveTill(const ServeRequest& request);

// `restaurant staff add NAME`, `list` and `remove NAME`; returns the
// program's exit status.
int addStaff(const std::string& name, const std::string& role, const std::string& journalFile);
int listStaff(const std::string& journalFile);
int removeStaff(const std::string& name, const std::string& journalFile);
