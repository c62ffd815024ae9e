#include "group/Shipper.h"

#include <algorithm>
#include <utility>

#include "group/ShippedFigures.h"

namespace {

// Records go to the head office in parts of this many, each part one
// transaction: a ship cut short loses one part's work at most.
constexpr std::int64_t part = 5000;
// Ships of one site that run at once take turns; one that keeps losing its
// turn gives up.
constexpr int attempts = 5;

std::string siteOf(ChainedDays& days) {
    std::string site = days.settings().get("site");
    if (site.empty()) {
        throw HeadOfficeError(
            "this site has no name for the head office yet: give it one with restaurant "
            "settings site NAME");
    }
    return site;
}

// A closed day is whole once the head office holds its close and, if the
// day was signed, its signed head.
bool heldWhole(const ChainedDays::Head& local, const CentralStore::HeldDay& held) {
    return held.records == local.records && held.head == local.head &&
           held.closed == local.closed && (held.signedHead || !local.signedHead);
}

std::vector<CentralStore::Record> recordsOf(const ChainedDays::Day& day, std::int64_t from,
                                            std::int64_t to) {
    std::vector<CentralStore::Record> records;
    records.reserve(static_cast<std::size_t>(to - from));
    for (auto at = static_cast<std::size_t>(from); at < static_cast<std::size_t>(to); ++at) {
        const JournalEntry& entry = day.entries[at];
        records.push_back({entry.seq, static_cast<std::int64_t>(entry.type), entry.at,
                           day.encodings[at], day.hashes[at]});
    }
    return records;
}

}  // namespace

Shipper::Shipper(std::string journal, CentralStore& store)
    : journal(std::move(journal)), store(store) {}

Shipper::Outcome Shipper::ship(const std::function<void(const Progress&)>& progress) {
    for (int attempt = 1;; ++attempt) {
        Outcome outcome;
        if (shipOnce(outcome, progress)) {
            return outcome;
        }
        if (attempt == attempts) {
            throw HeadOfficeError("other ships of site " + outcome.site +
                                  " kept changing what the head office holds: ship again");
        }
    }
}

bool Shipper::shipOnce(Outcome& outcome, const std::function<void(const Progress&)>& told) {
    ChainedDays days(journal);
    outcome.site = siteOf(days);
    store.checkSchema();
    const std::vector<Plan> plans = plan(days, outcome);
    Progress progress;
    for (const Plan& day : plans) {
        ++progress.toShip.days;
        progress.toShip.records += day.local.records - day.held.records;
    }
    for (const Plan& day : plans) {
        if (!shipDay(days, outcome.site, day, progress, told)) {
            return false;
        }
    }
    outcome.shipped = progress.shipped;
    return true;
}

// Compares what the head office holds with the journal, day by day, and
// returns the days to ship. The chain runs on from day to day, so a
// history rewritten anywhere changes the head of every day after it.
std::vector<Shipper::Plan> Shipper::plan(ChainedDays& days, Outcome& outcome) {
    std::map<std::int32_t, CentralStore::HeldDay> held = store.heldDays(outcome.site);
    std::vector<Plan> plans;
    for (const ChainedDays::Head& local : days.heads()) {
        const auto found = held.find(local.number);
        const CentralStore::HeldDay there =
            found == held.end() ? CentralStore::HeldDay{} : found->second;
        if (found != held.end()) {
            held.erase(found);
        }
        if (there.records > local.records ||
            (there.records == local.records && there.head != local.head)) {
            refuse(days, outcome.site, local.number, local.records);
        }
        outcome.held.records += there.records;
        if (heldWhole(local, there)) {
            ++outcome.held.days;
        } else if (local.closed || local.kept) {
            plans.push_back({local, there});
        }
    }
    if (!held.empty()) {
        refuse(days, outcome.site, held.begin()->first, 0);
    }
    return plans;
}

bool Shipper::shipDay(ChainedDays& days, const std::string& site, const Plan& plan,
                      Progress& progress, const std::function<void(const Progress&)>& told) {
    const ChainedDays::Day day = days.day(plan.local.number);
    const auto total = static_cast<std::int64_t>(day.hashes.size());
    std::int64_t from = plan.held.records;
    if (from > total ||
        (from > 0 && day.hashes[static_cast<std::size_t>(from - 1)] != plan.held.head)) {
        refuse(days, site, plan.local.number, total);
    }
    const CentralStore::DayTotals totals = ShippedFigures::of(site, day.record);
    do {
        const std::int64_t to = std::min(from + part, total);
        const bool last = to == total;
        if (!store.put({site, plan.local.number, from, recordsOf(day, from, to),
                        day.hashes[static_cast<std::size_t>(to - 1)], totals,
                        last && plan.local.closed ? day.signedHead : std::nullopt})) {
            return false;
        }
        progress.shipped.records += to - from;
        progress.shipped.days += last ? 1 : 0;
        from = to;
        if (told) {
            told(progress);
        }
    } while (from < total);
    return true;
}

// Names the first record of the day that differs from the head office's:
// with a chain recomputed after a change, the changed one.
void Shipper::refuse(ChainedDays& days, const std::string& site, std::int32_t day,
                     std::int64_t records) {
    const std::vector<std::string> there = store.heldHashes(site, day);
    const std::vector<std::string> here =
        records > 0 ? days.day(day).hashes : std::vector<std::string>();
    std::size_t at = 0;
    while (at < there.size() && at < here.size() && there[at] == here[at]) {
        ++at;
    }
    throw ShipRefusal("site " + site + " day " + std::to_string(day) + " record " +
                      std::to_string(at + 1) + " differs from what the head office holds");
}
