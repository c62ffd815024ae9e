#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"

// KitchenReplay is the kitchen's part of a day's replay: the tickets made,
// the items each sent, fired or listed, and the items made ready. It works
// on the day the replay keeps, and says what an entry that makes no kitchen
// is damaged by, for the replay to throw.
class KitchenReplay {
public:
    // Where each added item is in day.items, by the seq of its entry.
    using Places = std::unordered_map<std::int64_t, std::size_t>;

    struct Step {
        // Why the entry makes no kitchen; null when it does.
        const char* damage = nullptr;
        // The seqs of the items whose state it changed.
        std::vector<std::int64_t> items;
    };

    Step apply(const JournalEntry& entry, DayRecord& day, const Places& added);
    // Returns the number the next ticket gets.
    std::int64_t nextTicket() const;
    // Returns the ticket of that number, or null.
    const KitchenTicket* ticket(const DayRecord& day, std::int64_t number) const;

private:
    Step made(const JournalEntry& entry, DayRecord& day);
    Step listed(const JournalEntry& entry, DayRecord& day, const Places& added);
    Step ready(const JournalEntry& entry, DayRecord& day, const Places& added);
    Step recalled(const JournalEntry& entry, DayRecord& day, const Places& added);
    KitchenTicket* found(DayRecord& day, const JournalEntry& entry);

    // Where each ticket is in day.tickets, by number.
    std::unordered_map<std::int64_t, std::size_t> at;
};
