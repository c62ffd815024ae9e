#include "journal/DayReplay.h"

#include <string>
#include <unordered_set>

#include "journal/Journal.h"

DayReplay::DayReplay(std::int32_t day) { this->day.number = day; }

void DayReplay::apply(const JournalEntry& entry) {
    if (day.closedAt) {
        damaged(entry, "follows the day's close");
    }
    if (!opened && entry.type != JournalEntry::Type::open) {
        damaged(entry, "comes before the day opened");
    }
    switch (entry.type) {
        case JournalEntry::Type::open:
            if (opened) {
                damaged(entry, "opens the day again");
            }
            opened = true;
            day.openedAt = entry.at;
            break;
        case JournalEntry::Type::add:
            if (!entry.customer || !entry.kind || !entry.name || !entry.price || !entry.cost) {
                damaged(entry, "adds an item it does not describe");
            }
            added.emplace(entry.seq, day.items.size());
            day.items.push_back({*entry.customer, *entry.kind, *entry.name, *entry.price,
                                 *entry.cost, entry.at, std::nullopt, entry.seq});
            break;
        case JournalEntry::Type::remove: {
            const auto found = entry.item ? added.find(*entry.item) : added.end();
            if (found == added.end() || day.items[found->second].removedAt) {
                damaged(entry, "removes an item that is not in a cart");
            }
            day.items[found->second].removedAt = entry.at;
            break;
        }
        case JournalEntry::Type::pay:
            if (!entry.customer || !entry.saleId) {
                damaged(entry, "records a payment without its customer");
            }
            day.customers.push_back({*entry.customer, *entry.saleId, entry.at});
            break;
        case JournalEntry::Type::close:
            day.closedAt = entry.at;
            break;
        default:
            damaged(entry, "is of a kind this version does not know");
    }
}

const DayRecord& DayReplay::record() const { return day; }

bool DayReplay::everHeldAnItem() const { return !added.empty(); }

DayRecord DayReplay::of(std::int32_t day, const std::vector<JournalEntry>& entries) {
    DayReplay replay(day);
    for (const JournalEntry& entry : entries) {
        replay.apply(entry);
    }
    return replay.day;
}

DayLine DayReplay::lineOf(const DayRecord& day) {
    DayLine line{day.number, day.openedAt, day.closedAt,
                 static_cast<std::int64_t>(day.customers.size()), Money()};
    std::unordered_set<std::int32_t> paid;
    for (const PaidCustomer& customer : day.customers) {
        paid.insert(customer.number);
    }
    for (const JournalItem& item : day.items) {
        if (paid.count(item.customer) != 0 && !item.removedAt) {
            line.revenue += item.price;
        }
    }
    return line;
}

void DayReplay::damaged(const JournalEntry& entry, const char* what) const {
    throw JournalError("day " + std::to_string(day.number) + ", record " +
                       std::to_string(entry.seq) + " " + what);
}
