#include "journal/EntryTable.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <algorithm>
#include <cstring>
#include <string>

#include "journal/Journal.h"

namespace {

const char* const tables = R"(
CREATE TABLE day (
    number INTEGER PRIMARY KEY,
    start BLOB NOT NULL,
    entries INTEGER NOT NULL,
    head BLOB NOT NULL
);
CREATE TABLE entry (
    day INTEGER NOT NULL,
    seq INTEGER NOT NULL,
    type INTEGER NOT NULL,
    at INTEGER NOT NULL,
    customer INTEGER,
    item INTEGER,
    kind INTEGER,
    name TEXT,
    price INTEGER,
    cost INTEGER,
    sale_id TEXT,
    hash BLOB NOT NULL,
    label TEXT,
    vat INTEGER,
    method TEXT,
    given INTEGER,
    reason TEXT,
    staff TEXT,
    opened INTEGER,
    customers INTEGER,
    revenue INTEGER,
    note TEXT,
    course INTEGER,
    station TEXT,
    ticket INTEGER,
    heading TEXT,
    approver TEXT,
    amount INTEGER,
    percent INTEGER,
    discount INTEGER,
    charge INTEGER,
    tip INTEGER,
    z INTEGER,
    parts INTEGER,
    PRIMARY KEY (day, seq)
) WITHOUT ROWID;
CREATE INDEX entry_sale ON entry (sale_id) WHERE type = 4;
)";

// The columns of an entry, in the order entryOf reads them.
const char* const entryColumns =
    "day, seq, type, at, customer, item, kind, name, price, cost, sale_id, hash, label, vat, "
    "method, given, reason, staff, opened, customers, revenue, note, course, station, ticket, "
    "heading, approver, amount, percent, discount, charge, tip, z, parts";
constexpr int entryColumnCount = 34;

void bindHash(SQLite::Statement& statement, int at, const EntryChain::Hash& hash) {
    statement.bind(at, hash.data(), static_cast<int>(hash.size()));
}

EntryChain::Hash hashOf(const SQLite::Column& column) {
    EntryChain::Hash hash{};
    if (column.getBytes() != static_cast<int>(hash.size())) {
        throw JournalError("a hash in the journal is cut short");
    }
    std::memcpy(hash.data(), column.getBlob(), hash.size());
    return hash;
}

template <typename Value, typename Bind>
void bindOptional(SQLite::Statement& statement, int at, const std::optional<Value>& value,
                  Bind bind) {
    if (value) {
        bind(statement, at, *value);
    } else {
        statement.bind(at);
    }
}

EntryTable::Day dayOf(SQLite::Statement& select) {
    return {select.getColumn(0).getInt(), hashOf(select.getColumn(1)),
            select.getColumn(2).getInt64(), hashOf(select.getColumn(3))};
}

template <typename Value, typename Read>
std::optional<Value> optionalOf(const SQLite::Column& column, Read read) {
    if (column.isNull()) {
        return std::nullopt;
    }
    return read(column);
}

// The fields of discounts, the drawer, tenders and closes, from the 27th
// column.
void readMoneyFields(SQLite::Statement& select, JournalEntry& entry) {
    const auto whole = [](const SQLite::Column& column) { return column.getInt64(); };
    const auto money = [](const SQLite::Column& column) {
        return Money::fromCents(column.getInt64());
    };
    entry.approver = optionalOf<std::string>(
        select.getColumn(26), [](const SQLite::Column& column) { return column.getString(); });
    entry.amount = optionalOf<Money>(select.getColumn(27), money);
    entry.percent = optionalOf<std::int64_t>(select.getColumn(28), whole);
    entry.discount = optionalOf<Money>(select.getColumn(29), money);
    entry.charge = optionalOf<Money>(select.getColumn(30), money);
    entry.tip = optionalOf<Money>(select.getColumn(31), money);
    entry.z = optionalOf<std::int64_t>(select.getColumn(32), whole);
    entry.parts = optionalOf<std::int64_t>(select.getColumn(33), whole);
}

ItemKind kindOf(const SQLite::Column& column) {
    const std::int64_t code = column.getInt64();
    if (code < 0 || code > 2) {
        throw JournalError("the journal holds an item of unknown kind");
    }
    return static_cast<ItemKind>(code);
}

JournalEntry entryOf(SQLite::Statement& select) {
    JournalEntry entry;
    entry.day = select.getColumn(0).getInt();
    entry.seq = select.getColumn(1).getInt64();
    entry.type = static_cast<JournalEntry::Type>(select.getColumn(2).getInt());
    entry.at = select.getColumn(3).getInt64();
    const auto whole = [](const SQLite::Column& column) { return column.getInt64(); };
    const auto money = [](const SQLite::Column& column) {
        return Money::fromCents(column.getInt64());
    };
    const auto text = [](const SQLite::Column& column) { return column.getString(); };
    entry.customer = optionalOf<std::int32_t>(select.getColumn(4),
                                              [](const SQLite::Column& c) { return c.getInt(); });
    entry.item = optionalOf<std::int64_t>(select.getColumn(5), whole);
    entry.kind = optionalOf<ItemKind>(select.getColumn(6), kindOf);
    entry.name = optionalOf<std::string>(select.getColumn(7), text);
    entry.price = optionalOf<Money>(select.getColumn(8), money);
    entry.cost = optionalOf<Money>(select.getColumn(9), money);
    entry.saleId = optionalOf<std::string>(select.getColumn(10), text);
    entry.label = optionalOf<std::string>(select.getColumn(12), text);
    entry.vat = optionalOf<std::int64_t>(select.getColumn(13), whole);
    entry.method = optionalOf<std::string>(select.getColumn(14), text);
    entry.given = optionalOf<Money>(select.getColumn(15), money);
    entry.reason = optionalOf<std::string>(select.getColumn(16), text);
    entry.staff = optionalOf<std::string>(select.getColumn(17), text);
    entry.opened = optionalOf<Moment>(select.getColumn(18), whole);
    entry.customers = optionalOf<std::int64_t>(select.getColumn(19), whole);
    entry.revenue = optionalOf<Money>(select.getColumn(20), money);
    entry.note = optionalOf<std::string>(select.getColumn(21), text);
    entry.course = optionalOf<std::int64_t>(select.getColumn(22), whole);
    entry.station = optionalOf<std::string>(select.getColumn(23), text);
    entry.ticket = optionalOf<std::int64_t>(select.getColumn(24), whole);
    entry.heading = optionalOf<std::string>(select.getColumn(25), text);
    readMoneyFields(select, entry);
    return entry;
}

}  // namespace

EntryTable::EntryTable(SQLite::Database& database) : database(database) {}

EntryTable::~EntryTable() = default;

void EntryTable::create(SQLite::Database& database) { database.exec(tables); }

void EntryTable::insert(const JournalEntry& entry, const EntryChain::Hash& hash) {
    if (!insertEntry) {
        insertEntry = std::make_unique<SQLite::Statement>(
            database, std::string("INSERT INTO entry (") + entryColumns +
                          ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                          "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    }
    SQLite::Statement& insert = *insertEntry;
    insert.reset();
    insert.clearBindings();
    insert.bind(1, entry.day);
    insert.bind(2, entry.seq);
    insert.bind(3, static_cast<int>(entry.type));
    insert.bind(4, entry.at);
    const auto whole = [](SQLite::Statement& s, int at, std::int64_t value) { s.bind(at, value); };
    const auto money = [](SQLite::Statement& s, int at, Money value) { s.bind(at, value.cents()); };
    const auto text = [](SQLite::Statement& s, int at, const std::string& value) {
        s.bind(at, value);
    };
    bindOptional(insert, 5, entry.customer, whole);
    bindOptional(insert, 6, entry.item, whole);
    bindOptional(insert, 7, entry.kind, [](SQLite::Statement& s, int at, ItemKind kind) {
        s.bind(at, static_cast<int>(kind));
    });
    bindOptional(insert, 8, entry.name, text);
    bindOptional(insert, 9, entry.price, money);
    bindOptional(insert, 10, entry.cost, money);
    bindOptional(insert, 11, entry.saleId, text);
    bindHash(insert, 12, hash);
    bindOptional(insert, 13, entry.label, text);
    bindOptional(insert, 14, entry.vat, whole);
    bindOptional(insert, 15, entry.method, text);
    bindOptional(insert, 16, entry.given, money);
    bindOptional(insert, 17, entry.reason, text);
    bindOptional(insert, 18, entry.staff, text);
    bindOptional(insert, 19, entry.opened, whole);
    bindOptional(insert, 20, entry.customers, whole);
    bindOptional(insert, 21, entry.revenue, money);
    bindKitchen(insert, entry);
    insert.exec();
}

// The fields of the kitchen's entries and of the money's, from the 22nd
// column.
void EntryTable::bindKitchen(SQLite::Statement& insert, const JournalEntry& entry) {
    const auto whole = [](SQLite::Statement& s, int at, std::int64_t value) { s.bind(at, value); };
    const auto text = [](SQLite::Statement& s, int at, const std::string& value) {
        s.bind(at, value);
    };
    bindOptional(insert, 22, entry.note, text);
    bindOptional(insert, 23, entry.course, whole);
    bindOptional(insert, 24, entry.station, text);
    bindOptional(insert, 25, entry.ticket, whole);
    bindOptional(insert, 26, entry.heading, text);
    const auto money = [](SQLite::Statement& s, int at, Money value) { s.bind(at, value.cents()); };
    bindOptional(insert, 27, entry.approver, text);
    bindOptional(insert, 28, entry.amount, money);
    bindOptional(insert, 29, entry.percent, whole);
    bindOptional(insert, 30, entry.discount, money);
    bindOptional(insert, 31, entry.charge, money);
    bindOptional(insert, 32, entry.tip, money);
    bindOptional(insert, 33, entry.z, whole);
    bindOptional(insert, 34, entry.parts, whole);
}

void EntryTable::putDay(const Day& day) {
    if (!putDayRow) {
        putDayRow = std::make_unique<SQLite::Statement>(
            database,
            "INSERT OR REPLACE INTO day (number, start, entries, head) VALUES (?, ?, ?, ?)");
    }
    SQLite::Statement& put = *putDayRow;
    put.reset();
    put.bind(1, day.number);
    bindHash(put, 2, day.start);
    put.bind(3, day.entries);
    bindHash(put, 4, day.head);
    put.exec();
}

void EntryTable::forgetDay(std::int32_t number) {
    SQLite::Statement entries(database, "DELETE FROM entry WHERE day = ?");
    entries.bind(1, number);
    entries.exec();
    SQLite::Statement day(database, "DELETE FROM day WHERE number = ?");
    day.bind(1, number);
    day.exec();
}

std::optional<EntryTable::Day> EntryTable::dayRow(std::int32_t number) {
    SQLite::Statement select(database,
                             "SELECT number, start, entries, head FROM day WHERE number = ?");
    select.bind(1, number);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    return dayOf(select);
}

std::optional<EntryTable::Day> EntryTable::lastDayRow() {
    SQLite::Statement select(database,
                             "SELECT number, start, entries, head FROM day ORDER BY number DESC "
                             "LIMIT 1");
    if (!select.executeStep()) {
        return std::nullopt;
    }
    return dayOf(select);
}

std::vector<EntryTable::Day> EntryTable::dayRows() {
    std::vector<Day> days;
    SQLite::Statement select(database,
                             "SELECT number, start, entries, head FROM day ORDER BY number");
    while (select.executeStep()) {
        days.push_back(dayOf(select));
    }
    return days;
}

std::vector<std::pair<JournalEntry, EntryChain::Hash>> EntryTable::entriesOf(
    std::int32_t day, std::int64_t expected) {
    std::vector<std::pair<JournalEntry, EntryChain::Hash>> entries;
    // A damaged row may claim any count: it is a hint, within reason.
    entries.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(expected, 0, 1 << 20)));
    SQLite::Statement select(
        database, std::string("SELECT ") + entryColumns + " FROM entry WHERE day = ? ORDER BY seq");
    select.bind(1, day);
    while (select.executeStep()) {
        entries.emplace_back(entryOf(select), hashOf(select.getColumn(11)));
    }
    return entries;
}

std::optional<JournalEntry::Type> EntryTable::lastTypeOf(const Day& day) {
    SQLite::Statement select(database, "SELECT type FROM entry WHERE day = ? AND seq = ?");
    select.bind(1, day.number);
    select.bind(2, day.entries);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    return static_cast<JournalEntry::Type>(select.getColumn(0).getInt());
}

bool EntryTable::holds(std::int32_t day, JournalEntry::Type type) {
    SQLite::Statement select(database, "SELECT 1 FROM entry WHERE day = ? AND type = ? LIMIT 1");
    select.bind(1, day);
    select.bind(2, static_cast<int>(type));
    return select.executeStep();
}

std::vector<EntryTable::Last> EntryTable::lastEntries() {
    std::vector<Last> lasts;
    SQLite::Statement select(
        database,
        std::string("SELECT ") + entryColumns +
            ", (SELECT before.hash FROM entry AS before WHERE before.day = entry.day AND "
            "before.seq = entry.seq - 1) FROM day JOIN entry ON entry.day = day.number AND "
            "entry.seq = day.entries ORDER BY day.number");
    while (select.executeStep()) {
        Last last{entryOf(select), hashOf(select.getColumn(11)), std::nullopt};
        if (!select.getColumn(entryColumnCount).isNull()) {
            last.before = hashOf(select.getColumn(entryColumnCount));
        }
        lasts.push_back(std::move(last));
    }
    return lasts;
}

// The index holds the payments alone, whose sale ids come one a sale: the
// orders' would put a random key into it at every table opened. The type is
// written out for SQLite to see that the index serves the query.
std::optional<std::int32_t> EntryTable::dayOfSale(const std::string& saleId) {
    static_assert(static_cast<int>(JournalEntry::Type::pay) == 4, "the index names payments by 4");
    SQLite::Statement select(database,
                             "SELECT day FROM entry WHERE sale_id = ? AND type = 4 LIMIT 1");
    select.bind(1, saleId);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    return select.getColumn(0).getInt();
}

void EntryTable::putSignature(std::int32_t day, const std::string& signature) {
    SQLite::Statement put(database,
                          "INSERT OR REPLACE INTO day_signature (day, signature) VALUES (?, ?)");
    put.bind(1, day);
    put.bind(2, signature.data(), static_cast<int>(signature.size()));
    put.exec();
}

std::map<std::int32_t, std::string> EntryTable::signatures() {
    std::map<std::int32_t, std::string> all;
    SQLite::Statement select(database, "SELECT day, signature FROM day_signature");
    while (select.executeStep()) {
        const SQLite::Column signature = select.getColumn(1);
        all.emplace(select.getColumn(0).getInt(),
                    std::string(static_cast<const char*>(signature.getBlob()),
                                static_cast<std::size_t>(signature.getBytes())));
    }
    return all;
}

void EntryTable::forgetStraySignatures() {
    database.exec("DELETE FROM day_signature WHERE day NOT IN (SELECT number FROM day)");
}

std::optional<std::string> EntryTable::signatureOf(std::int32_t day) {
    SQLite::Statement select(database, "SELECT signature FROM day_signature WHERE day = ?");
    select.bind(1, day);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    const SQLite::Column signature = select.getColumn(0);
    return std::string(static_cast<const char*>(signature.getBlob()),
                       static_cast<std::size_t>(signature.getBytes()));
}

std::optional<std::string> EntryTable::lastKey(std::int32_t upTo) {
    SQLite::Statement select(database,
                             "SELECT name FROM entry WHERE type = 12 AND day <= ? ORDER BY day "
                             "DESC, seq DESC LIMIT 1");
    select.bind(1, upTo);
    if (!select.executeStep()) {
        return std::nullopt;
    }
    return select.getColumn(0).getString();
}
