#include "journal/PrintQueueTable.h"

#include <SQLiteCpp/Statement.h>
#include <string>

namespace {

// Names and notes hold no tab nor line break, so that a ticket's lines keep
// in one field: name, tab, note, tab, 1 when held, line break.
std::string linesText(const std::vector<TicketLine>& lines) {
    std::string text;
    for (const TicketLine& line : lines) {
        text += line.name + '\t' + line.note + '\t' + (line.held ? "1" : "0") + '\n';
    }
    return text;
}

std::vector<TicketLine> linesOf(const std::string& text) {
    std::vector<TicketLine> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        if (first != std::string::npos && second != std::string::npos) {
            lines.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                             line.substr(second + 1) == "1"});
        }
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

}  // namespace

PrintQueueTable::PrintQueueTable(SQLite::Database& database) : database(database) {}

// Each job keeps its ticket's lines as they were queued, so that it prints
// the same whatever the day became since.
void PrintQueueTable::create(SQLite::Database& database) {
    database.exec(R"(
CREATE TABLE print_job (
    id INTEGER PRIMARY KEY,
    station TEXT NOT NULL,
    day INTEGER NOT NULL,
    ticket INTEGER NOT NULL,
    heading TEXT NOT NULL,
    label TEXT NOT NULL,
    staff TEXT NOT NULL,
    at INTEGER NOT NULL,
    course INTEGER NOT NULL,
    moved_to TEXT NOT NULL,
    lines TEXT NOT NULL,
    copy INTEGER NOT NULL,
    started INTEGER NOT NULL DEFAULT 0,
    done INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX print_job_waiting ON print_job (id) WHERE done = 0;
)");
}

std::int64_t PrintQueueTable::queue(const PrintJob& job) {
    SQLite::Statement insert(database,
                             "INSERT INTO print_job (station, day, ticket, heading, label, staff, "
                             "at, course, moved_to, lines, copy) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                             "?, ?, ?)");
    const KitchenTicket& ticket = job.ticket;
    insert.bind(1, ticket.station);
    insert.bind(2, job.day);
    insert.bind(3, ticket.number);
    insert.bind(4, ticket.heading);
    insert.bind(5, ticket.label);
    insert.bind(6, ticket.staff);
    insert.bind(7, ticket.at);
    insert.bind(8, ticket.course);
    insert.bind(9, ticket.movedTo);
    insert.bind(10, linesText(job.lines));
    insert.bind(11, job.copy ? 1 : 0);
    insert.exec();
    return database.getLastInsertRowid();
}

std::vector<PrintJob> PrintQueueTable::waiting() const {
    SQLite::Statement select(database,
                             "SELECT id, station, day, ticket, heading, label, staff, at, course, "
                             "moved_to, lines, copy, started FROM print_job WHERE done = 0 "
                             "ORDER BY id");
    std::vector<PrintJob> jobs;
    while (select.executeStep()) {
        PrintJob job;
        job.id = select.getColumn(0).getInt64();
        job.ticket.station = select.getColumn(1).getString();
        job.day = select.getColumn(2).getInt();
        job.ticket.number = select.getColumn(3).getInt64();
        job.ticket.heading = select.getColumn(4).getString();
        job.ticket.label = select.getColumn(5).getString();
        job.ticket.staff = select.getColumn(6).getString();
        job.ticket.at = select.getColumn(7).getInt64();
        job.ticket.course = select.getColumn(8).getInt64();
        job.ticket.movedTo = select.getColumn(9).getString();
        job.lines = linesOf(select.getColumn(10).getString());
        job.copy = select.getColumn(11).getInt() != 0;
        job.started = select.getColumn(12).getInt() != 0;
        jobs.push_back(std::move(job));
    }
    return jobs;
}

void PrintQueueTable::mark(std::int64_t id, bool done) {
    SQLite::Statement update(database, done ? "UPDATE print_job SET done = 1 WHERE id = ?"
                                            : "UPDATE print_job SET started = 1 WHERE id = ?");
    update.bind(1, id);
    update.exec();
}
