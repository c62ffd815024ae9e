#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"

// DayReplay rebuilds a day from its entries, in their order: the items put
// into carts and those taken out, the customers who paid, when the day
// opened and closed. Entries that do not make a day (a removal of an item
// never added, an entry after the close) are damage, and throw JournalError.
class DayReplay {
public:
    explicit DayReplay(std::int32_t day);

    void apply(const JournalEntry& entry);
    // Returns the day as replayed so far.
    const DayRecord& record() const;
    // Returns true when any item was ever added.
    bool everHeldAnItem() const;

    // Returns the day its entries make.
    static DayRecord of(std::int32_t day, const std::vector<JournalEntry>& entries);
    // Returns the day's line in the list of days: its customers, and the
    // revenue of the items they paid for.
    static DayLine lineOf(const DayRecord& day);

private:
    void damaged(const JournalEntry& entry, const char* what) const;

    DayRecord day;
    // Where each added item is in day.items, by the seq of its entry.
    std::unordered_map<std::int64_t, std::size_t> added;
    bool opened = false;
};
