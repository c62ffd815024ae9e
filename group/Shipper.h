#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "journal/CentralStore.h"
#include "journal/ChainedDays.h"

// ShipRefusal says that a site's journal holds a record other than the one
// the head office holds under its key: the history was rewritten after it
// shipped. Nothing more of the site ships.
class ShipRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Shipper ships a site's journal to the head office: every record the head
// office does not hold yet, each with its hash, in order, with its day's
// figures, and a closed day's signed head. What is shipped is read from the
// head office, keyed by (site, day, seq), so shipping twice changes nothing
// and a ship cut short resumes. Before it ships a day, the records the head
// office holds of it must be those of the journal.
class Shipper {
public:
    // Counts of days and records.
    struct Tally {
        std::int64_t days = 0;
        std::int64_t records = 0;
    };
    // How far a ship has come: shipped of those to ship.
    struct Progress {
        Tally shipped;
        Tally toShip;
    };
    // What a ship did: the site, what it shipped and what the head office
    // held already.
    struct Outcome {
        std::string site;
        Tally shipped;
        Tally held;
    };

    // The journal at `journal` ships to `store`, which must outlive it.
    Shipper(std::string journal, CentralStore& store);

    // Ships what the head office lacks, telling `progress` after each part.
    // Throws ShipRefusal for a record that differs from the head office's,
    // HeadOfficeError and JournalError for failures.
    Outcome ship(const std::function<void(const Progress&)>& progress = {});

private:
    // A day to ship and what the head office holds of it.
    struct Plan {
        ChainedDays::Head local;
        CentralStore::HeldDay held;
    };
    // Ships once; false when another ship of the site changed what the
    // head office holds meanwhile.
    bool shipOnce(Outcome& outcome, const std::function<void(const Progress&)>& told);
    std::vector<Plan> plan(ChainedDays& days, Outcome& outcome);
    bool shipDay(ChainedDays& days, const std::string& site, const Plan& plan, Progress& progress,
                 const std::function<void(const Progress&)>& told);
    // Throws ShipRefusal naming the first record of the site's day, which
    // holds `records` in the journal, that differs from the head office's.
    [[noreturn]] void refuse(ChainedDays& days, const std::string& site, std::int32_t day,
                             std::int64_t records);

    std::string journal;
    CentralStore& store;
};
