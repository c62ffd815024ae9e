#include "journal/CentralSchema.h"

#include <pqxx/pqxx>
#include <string>

#include "journal/CentralStore.h"

namespace {

// Amounts are whole cents; moments seconds since the Unix epoch, as the
// journal keeps them; a record's body is its canonical encoding, so that the
// head office can recompute every hash of the chain.
const char* const tables = R"(
CREATE TABLE group_schema (version integer NOT NULL);
CREATE TABLE sites (
    site text PRIMARY KEY,
    first_shipped timestamptz NOT NULL DEFAULT now(),
    last_shipped timestamptz NOT NULL DEFAULT now());
CREATE TABLE records (
    site text NOT NULL REFERENCES sites,
    day integer NOT NULL,
    seq bigint NOT NULL,
    type smallint NOT NULL,
    at bigint NOT NULL,
    body bytea NOT NULL,
    hash bytea NOT NULL,
    PRIMARY KEY (site, day, seq));
CREATE TABLE days (
    site text NOT NULL REFERENCES sites,
    day integer NOT NULL,
    date date NOT NULL,
    opened bigint NOT NULL,
    closed bigint,
    records bigint NOT NULL,
    head bytea NOT NULL,
    signature bytea,
    public_key bytea,
    customers bigint NOT NULL,
    revenue_cents bigint NOT NULL,
    vat_cents bigint NOT NULL,
    cash_cents bigint NOT NULL,
    card_cents bigint NOT NULL,
    other_cents bigint NOT NULL,
    PRIMARY KEY (site, day));
CREATE INDEX days_by_date ON days (date, site);
CREATE TABLE day_items (
    site text NOT NULL,
    day integer NOT NULL,
    kind smallint NOT NULL,
    name text NOT NULL,
    count bigint NOT NULL,
    revenue_cents bigint NOT NULL,
    PRIMARY KEY (site, day, kind, name),
    FOREIGN KEY (site, day) REFERENCES days ON DELETE CASCADE);
)";

std::string newer(std::int32_t version) {
    return "the head office's database holds the group's tables of version " +
           std::to_string(version) + ", newer than this restaurant's " +
           std::to_string(CentralSchema::version) + ": upgrade restaurant on this machine";
}

}  // namespace

std::int32_t CentralSchema::found(pqxx::transaction_base& work) {
    if (work.exec("SELECT to_regclass('group_schema') IS NULL")[0][0].as<bool>()) {
        return 0;
    }
    return work.exec("SELECT max(version) FROM group_schema")[0][0].as<std::int32_t>();
}

bool CentralSchema::make(pqxx::transaction_base& work) {
    // Two inits at once make the tables once.
    work.exec("SELECT pg_advisory_xact_lock(4711)");
    const std::int32_t there = found(work);
    if (there > version) {
        throw HeadOfficeError(newer(there));
    }
    if (there == version) {
        return false;
    }
    work.exec(tables);
    work.exec_params("INSERT INTO group_schema VALUES ($1)", version);
    return true;
}

void CentralSchema::check(pqxx::transaction_base& work) {
    const std::int32_t there = found(work);
    if (there == 0) {
        throw HeadOfficeError(
            "the head office's database holds no group yet: make it with restaurant group init "
            "--to URL");
    }
    if (there > version) {
        throw HeadOfficeError(newer(there));
    }
}
