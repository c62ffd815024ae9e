#include "journal/CentralStore.h"

#include <pqxx/pqxx>
#include <utility>

#include "journal/CentralSchema.h"

namespace {

// libpq's messages run over lines; the first says what went wrong.
std::string firstLine(const std::string& text) {
    const std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? text : line;
}

// A PostgreSQL array literal of plain words, as a parameter: numbers and
// hex need no quotes.
template <typename Item, typename Word>
std::string arrayOf(const std::vector<Item>& items, Word word) {
    std::string literal = "{";
    for (const Item& item : items) {
        literal += (literal.size() == 1 ? "" : ",") + word(item);
    }
    return literal + "}";
}

// A PostgreSQL array literal of texts, each quoted.
std::string quotedArrayOf(const std::vector<GroupSeller>& items) {
    return arrayOf(items, [](const GroupSeller& item) {
        std::string quoted = "\"";
        for (const char letter : item.name) {
            quoted +=
                letter == '"' || letter == '\\' ? std::string{'\\', letter} : std::string{letter};
        }
        return quoted + "\"";
    });
}

// What narrows a report to the query, on the table of days `d`.
const char* const narrowed =
    "(NULLIF($1, '') IS NULL OR d.date >= NULLIF($1, '')::date) AND "
    "(NULLIF($2, '') IS NULL OR d.date <= NULLIF($2, '')::date) AND "
    "(NULLIF($3, '') IS NULL OR d.site = $3)";

// The records go in one statement, as arrays, whatever their number.
void putRecords(pqxx::work& work, const CentralStore::Shipment& shipment) {
    using Record = CentralStore::Record;
    if (shipment.records.empty()) {
        return;
    }
    work.exec_params(
        "INSERT INTO records (site, day, seq, type, at, body, hash) "
        "SELECT $1, $2, r.seq, r.type, r.at, decode(r.body, 'hex'), decode(r.hash, 'hex') "
        "FROM unnest($3::bigint[], $4::smallint[], $5::bigint[], $6::text[], $7::text[]) "
        "AS r(seq, type, at, body, hash)",
        shipment.site, shipment.day,
        arrayOf(shipment.records, [](const Record& record) { return std::to_string(record.seq); }),
        arrayOf(shipment.records, [](const Record& record) { return std::to_string(record.type); }),
        arrayOf(shipment.records, [](const Record& record) { return std::to_string(record.at); }),
        arrayOf(shipment.records, [](const Record& record) { return record.body; }),
        arrayOf(shipment.records, [](const Record& record) { return record.hash; }));
}

void putDay(pqxx::work& work, const CentralStore::Shipment& shipment) {
    const CentralStore::DayTotals& totals = shipment.totals;
    const GroupDay& day = totals.figures;
    const std::optional<Journal::SignedHead>& head = shipment.signedHead;
    work.exec_params(
        "INSERT INTO days VALUES ($1, $2, $3::date, $4, NULLIF($5, '')::bigint, $6, "
        "decode($7, 'hex'), decode(NULLIF($8, ''), 'hex'), decode(NULLIF($9, ''), 'hex'), "
        "$10, $11, $12, $13, $14, $15) "
        "ON CONFLICT (site, day) DO UPDATE SET date = EXCLUDED.date, closed = EXCLUDED.closed, "
        "records = EXCLUDED.records, head = EXCLUDED.head, signature = EXCLUDED.signature, "
        "public_key = EXCLUDED.public_key, customers = EXCLUDED.customers, "
        "revenue_cents = EXCLUDED.revenue_cents, vat_cents = EXCLUDED.vat_cents, "
        "cash_cents = EXCLUDED.cash_cents, card_cents = EXCLUDED.card_cents, "
        "other_cents = EXCLUDED.other_cents",
        shipment.site, shipment.day, day.date, totals.opened,
        totals.closed ? std::to_string(*totals.closed) : std::string(),
        shipment.held + static_cast<std::int64_t>(shipment.records.size()), shipment.head,
        head ? head->signature : std::string(), head ? head->publicKey : std::string(),
        day.customers, day.revenue.cents(), day.vat.cents(), day.cash.cents(), day.card.cents(),
        day.other.cents());
}

void putItems(pqxx::work& work, const CentralStore::Shipment& shipment) {
    const std::vector<GroupSeller>& items = shipment.totals.items;
    work.exec_params("DELETE FROM day_items WHERE site = $1 AND day = $2", shipment.site,
                     shipment.day);
    work.exec_params(
        "INSERT INTO day_items SELECT $1, $2, i.kind, i.name, i.count, i.revenue "
        "FROM unnest($3::smallint[], $4::text[], $5::bigint[], $6::bigint[]) "
        "AS i(kind, name, count, revenue)",
        shipment.site, shipment.day,
        arrayOf(
            items,
            [](const GroupSeller& item) { return std::to_string(static_cast<int>(item.kind)); }),
        quotedArrayOf(items),
        arrayOf(items, [](const GroupSeller& item) { return std::to_string(item.count); }),
        arrayOf(items,
                [](const GroupSeller& item) { return std::to_string(item.revenue.cents()); }));
}

// The ten items sold most across the sites, then by revenue, then by name.
std::vector<GroupSeller> bestSellers(pqxx::work& work, const GroupQuery& query) {
    std::vector<GroupSeller> sellers;
    for (const pqxx::row& row : work.exec_params(
             std::string("SELECT i.kind, i.name, sum(i.count), sum(i.revenue_cents) "
                         "FROM day_items i JOIN days d USING (site, day) WHERE ") +
                 narrowed + " GROUP BY i.kind, i.name ORDER BY 3 DESC, 4 DESC, 2, 1 LIMIT 10",
             query.since, query.until, query.site)) {
        const int kind = row[0].as<int>();
        sellers.push_back({kind == 1   ? ItemKind::snack
                           : kind == 2 ? ItemKind::drink
                                       : ItemKind::dish,
                           row[1].as<std::string>(), row[2].as<std::int64_t>(),
                           Money::fromCents(row[3].as<std::int64_t>())});
    }
    return sellers;
}

}  // namespace

struct CentralStore::Connection {
    explicit Connection(const std::string& url) : database(url) {}
    pqxx::connection database;
};

CentralStore::CentralStore(const std::string& url) {
    try {
        connection = std::make_unique<Connection>(url);
    } catch (const pqxx::failure& failure) {
        throw HeadOfficeError("cannot reach the head office's database: " +
                              firstLine(failure.what()));
    }
}

CentralStore::~CentralStore() = default;

// Every exchange is one transaction, and says what failed in the head
// office's words.
template <typename Work>
auto CentralStore::inTransaction(Work work) {
    try {
        pqxx::work transaction(connection->database);
        return work(transaction);
    } catch (const pqxx::broken_connection& failure) {
        throw HeadOfficeError("lost the head office's database: " + firstLine(failure.what()));
    } catch (const pqxx::failure& failure) {
        throw HeadOfficeError("the head office's database refused: " + firstLine(failure.what()));
    }
}

bool CentralStore::init() {
    return inTransaction([](pqxx::work& work) {
        const bool made = CentralSchema::make(work);
        work.commit();
        return made;
    });
}

void CentralStore::checkSchema() {
    inTransaction([](pqxx::work& work) { CentralSchema::check(work); });
}

std::map<std::int32_t, CentralStore::HeldDay> CentralStore::heldDays(const std::string& site) {
    return inTransaction([&](pqxx::work& work) {
        std::map<std::int32_t, HeldDay> held;
        for (const pqxx::row& row :
             work.exec_params("SELECT day, records, encode(head, 'hex'), closed IS NOT NULL, "
                              "signature IS NOT NULL FROM days WHERE site = $1",
                              site)) {
            held[row[0].as<std::int32_t>()] = {row[1].as<std::int64_t>(), row[2].as<std::string>(),
                                               row[3].as<bool>(), row[4].as<bool>()};
        }
        return held;
    });
}

std::vector<std::string> CentralStore::heldHashes(const std::string& site, std::int32_t day) {
    return inTransaction([&](pqxx::work& work) {
        std::vector<std::string> hashes;
        for (const pqxx::row& row : work.exec_params("SELECT encode(hash, 'hex') FROM records "
                                                     "WHERE site = $1 AND day = $2 ORDER BY seq",
                                                     site, day)) {
            hashes.push_back(row[0].as<std::string>());
        }
        return hashes;
    });
}

bool CentralStore::put(const Shipment& shipment) {
    return inTransaction([&](pqxx::work& work) {
        // The site's row, locked, lets one ship of a site at a time on.
        work.exec_params(
            "INSERT INTO sites (site) VALUES ($1) ON CONFLICT (site) DO UPDATE SET last_shipped = "
            "now()",
            shipment.site);
        const pqxx::result held = work.exec_params(
            "SELECT records FROM days WHERE site = $1 AND day = $2", shipment.site, shipment.day);
        if ((held.empty() ? 0 : held[0][0].as<std::int64_t>()) != shipment.held) {
            return false;
        }
        putRecords(work, shipment);
        putDay(work, shipment);
        putItems(work, shipment);
        work.commit();
        return true;
    });
}

GroupFigures CentralStore::report(const GroupQuery& query) {
    return inTransaction([&](pqxx::work& work) {
        CentralSchema::check(work);
        GroupFigures figures;
        for (const pqxx::row& row : work.exec_params(
                 std::string("SELECT d.site, to_char(d.date, 'YYYY-MM-DD'), sum(d.customers), "
                             "sum(d.revenue_cents), sum(d.vat_cents), sum(d.cash_cents), "
                             "sum(d.card_cents), sum(d.other_cents) FROM days d WHERE ") +
                     narrowed + " GROUP BY d.site, d.date ORDER BY d.site, d.date",
                 query.since, query.until, query.site)) {
            const auto cents = [&](int column) {
                return Money::fromCents(row[column].as<std::int64_t>());
            };
            figures.days.push_back({row[0].as<std::string>(), row[1].as<std::string>(),
                                    row[2].as<std::int64_t>(), cents(3), cents(4), cents(5),
                                    cents(6), cents(7)});
        }
        figures.bestSellers = bestSellers(work, query);
        return figures;
    });
}

std::int64_t CentralStore::size() {
    return inTransaction([](pqxx::work& work) {
        return work.exec("SELECT pg_database_size(current_database())")[0][0].as<std::int64_t>();
    });
}
