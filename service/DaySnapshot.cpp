#include "service/DaySnapshot.h"

#include "base/TableLabel.h"
#include "journal/DayReplay.h"

// Once made, the record never changes: a reference to it outlives the lock.
const DayRecord& DaySnapshot::record() const {
    MutexLock lock(replaying);
    if (!made) {
        DayReplay replay(day);
        for (std::size_t at = 0; at < entries.size(); ++at) {
            replay.apply(entries[at]);
        }
        made.emplace(replay.record());
    }
    return *made;
}

std::vector<DayLine> DaySnapshot::days() const {
    std::vector<DayLine> lines;
    lines.reserve((closedDays ? closedDays->size() : 0) + 1);
    if (closedDays) {
        lines = *closedDays;
    }
    if (!over) {
        lines.push_back(today);
    }
    return lines;
}

const OrderView* DaySnapshot::order(const std::string& label) const {
    const std::string key = foldedLabel(label);
    for (const std::shared_ptr<const OrderView>& open : orders) {
        if (foldedLabel(open->label) == key) {
            return open.get();
        }
    }
    return nullptr;
}
