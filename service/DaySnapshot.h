#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/ThreadSafety.h"
#include "journal/DayRecord.h"
#include "menu/Menu.h"
#include "service/EntryLog.h"
#include "service/Results.h"

// DaySnapshot is the day as its last commit left it, published by the
// writer after each commit and never changed afterwards: every read, from
// the console or any device, is served from one, so that no read waits for
// a sync or for a lock held across one. The day's full record is replayed
// from its entries when first asked for, once per snapshot.
class DaySnapshot {
public:
    // Counts the snapshots that changed the day; devices hear of each.
    std::int64_t version = 0;
    // The open day's number; 0 before the first start.
    std::int32_t day = 0;
    // Whether no day is open: closed, or left open for the next start.
    bool over = true;
    std::string current;
    std::int32_t nextCustomer = 1;
    // The open orders: the counter's first, then the tables' as they opened;
    // an order no command changed is shared with the snapshot before.
    std::vector<std::shared_ptr<const OrderView>> orders;
    // The open day's line in the list of days, as it stands.
    DayLine today;
    std::shared_ptr<const Menu> menu;
    // Counts the menus the till sold from: 1 for the one it started with.
    std::int64_t menuVersion = 1;
    // The menu's items sold out today, by kind and name.
    std::set<std::pair<ItemKind, std::string>> soldOut;
    // The staff who may sign in; none before the first start.
    std::shared_ptr<const std::vector<Journal::StaffMember>> staff;
    // The closed days' lines, the first first.
    std::shared_ptr<const std::vector<DayLine>> closedDays;
    EntryLog::View entries;
    // The tickets waiting for their printers, in the order they print.
    std::shared_ptr<const std::vector<PrintJob>> printQueue;
    // The printers offline, by station, with when they went.
    std::shared_ptr<const std::map<std::string, Moment>> offlinePrinters;
    // Since when the head office's database could not be reached, while it
    // cannot.
    std::optional<Moment> headOfficeUnreachable;

    // Returns the open day as its entries make it.
    const DayRecord& record() const;
    // Returns every day's line: the closed days', then the open day's.
    std::vector<DayLine> days() const;
    // Returns the open order of that label, if it is open.
    const OrderView* order(const std::string& label) const;

private:
    // The record once replayed, shared by the readers of this snapshot; a
    // replay that failed for want of memory is tried again at the next ask.
    mutable Mutex replaying;
    mutable std::optional<DayRecord> made GUARDED_BY(replaying);
};
