#pragma once

#include <SQLiteCpp/Database.h>
#include <cstdint>
#include <vector>

#include "journal/KitchenTicket.h"

// PrintQueueTable keeps the printers' queue in the journal: each ticket
// waiting for its station's printer, with its lines as queued, whether its
// bytes began to go, and whether they all went. The caller runs each call
// inside its own transaction.
class PrintQueueTable {
public:
    explicit PrintQueueTable(SQLite::Database& database);

    // Makes the queue's table.
    static void create(SQLite::Database& database);

    // Queues the job; returns its id, by which jobs print in order.
    std::int64_t queue(const PrintJob& job);
    // Returns the jobs not printed yet, in the order they were queued.
    std::vector<PrintJob> waiting() const;
    // Marks the job's bytes as begun, or, with `done`, as all sent.
    void mark(std::int64_t id, bool done);

private:
    SQLite::Database& database;
};
