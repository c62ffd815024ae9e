#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Moment.h"
#include "journal/GroupFigures.h"
#include "journal/Journal.h"

// HeadOfficeError says why the head office's database could not be
// reached, or refused what was asked, in words for the restaurant's owner.
class HeadOfficeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// CentralStore is the head office's PostgreSQL database, which holds every
// site's records (see CentralSchema): what a site shipped, what it ships,
// and the group's report. Every change is one transaction, so a ship cut
// short at any moment leaves whole days' parts, never half a record.
// Failures throw HeadOfficeError.
class CentralStore {
public:
    // Connects to the database a libpq connection string names.
    explicit CentralStore(const std::string& url);
    CentralStore(const CentralStore&) = delete;
    CentralStore& operator=(const CentralStore&) = delete;
    ~CentralStore();

    // Makes the group's tables; returns false when they were made before.
    bool init();
    // Throws HeadOfficeError unless the database holds this version's
    // tables.
    void checkSchema();

    // HeldDay is what the head office holds of a site's day: its count of
    // records, the hash of the last, in hex, whether it holds the day's
    // close, and whether its signed head.
    struct HeldDay {
        std::int64_t records = 0;
        std::string head;
        bool closed = false;
        bool signedHead = false;
    };
    // Returns what the head office holds of the site, by day.
    std::map<std::int32_t, HeldDay> heldDays(const std::string& site);
    // Returns the hashes of the site's day's records, in hex, the first
    // first.
    std::vector<std::string> heldHashes(const std::string& site, std::int32_t day);

    // Record is one record of a day's chain as shipped: its canonical
    // encoding and its hash, both in hex.
    struct Record {
        std::int64_t seq = 0;
        std::int64_t type = 0;
        Moment at = 0;
        std::string body;
        std::string hash;
    };
    // DayTotals are a day's figures as its own summary has them, with its
    // items sold, for the group's reports.
    struct DayTotals {
        GroupDay figures;
        Moment opened = 0;
        std::optional<Moment> closed;
        std::vector<GroupSeller> items;
    };
    // Shipment is the records of a site's day that follow the `held` ones
    // the head office holds, the day's figures with them, and its signed
    // head once it has closed.
    struct Shipment {
        std::string site;
        std::int32_t day = 0;
        std::int64_t held = 0;
        std::vector<Record> records;
        // The hash of the day's last record, in hex, once these are put.
        std::string head;
        DayTotals totals;
        std::optional<Journal::SignedHead> signedHead;
    };
    // Puts the shipment in one transaction. Returns false, changing
    // nothing, when the head office no longer holds `held` records of the
    // day, as when another ship of the site ran meanwhile.
    bool put(const Shipment& shipment);

    // Returns the group's report, summed in SQL.
    GroupFigures report(const GroupQuery& query);
    // Returns the size of the database on disk, in bytes.
    std::int64_t size();

private:
    struct Connection;
    template <typename Work>
    auto inTransaction(Work work);

    std::unique_ptr<Connection> connection;
};
