#include "journal/MemoryJournal.h"

#include <unordered_set>
#include <utility>

#include "base/SaleId.h"

Journal::OpenDay MemoryJournal::openDay(Moment now) {
    if (!recorded.empty() && !recorded.back().closedAt) {
        return {recorded.back(), true};
    }
    DayRecord opened;
    opened.number = static_cast<std::int32_t>(recorded.size()) + 1;
    opened.openedAt = now;
    recorded.push_back(opened);
    return {opened, false};
}

// Room is made first; a copy that fails part way is taken back, so the
// items go in all together or not at all.
void MemoryJournal::addItems(const JournalItem& item, int count) {
    std::vector<JournalItem>& items = open().items;
    const std::size_t before = items.size();
    items.reserve(before + static_cast<std::size_t>(count));
    try {
        for (int copy = 0; copy < count; ++copy) {
            items.push_back(item);
        }
    } catch (...) {
        items.resize(before);
        throw;
    }
}

void MemoryJournal::removeItem(std::int32_t customer, ItemKind kind, int position, Moment at) {
    int seen = 0;
    for (JournalItem& item : open().items) {
        if (item.customer == customer && item.kind == kind && !item.removedAt &&
            ++seen == position) {
            item.removedAt = at;
            return;
        }
    }
    throw JournalError("the cart holds no such item");
}

void MemoryJournal::clearCart(std::int32_t customer, Moment at) {
    for (JournalItem& item : open().items) {
        if (item.customer == customer && !item.removedAt) {
            item.removedAt = at;
        }
    }
}

void MemoryJournal::pay(std::int32_t customer, Moment at) {
    open().customers.push_back({customer, newSaleId(), at});
}

void MemoryJournal::closeDay(Moment at) {
    open().closedAt = at;
    if (recorded.back().items.empty()) {
        recorded.pop_back();
    }
}

void MemoryJournal::leaveDayOpen() {
    if (!recorded.empty() && !recorded.back().closedAt && recorded.back().items.empty()) {
        recorded.pop_back();
    }
}

std::optional<Journal::StoredMenu> MemoryJournal::storedMenu() { return menu; }

void MemoryJournal::replaceMenu(const StoredMenu& stored) {
    StoredMenu copy = stored;
    menu = std::move(copy);
}

std::vector<DayLine> MemoryJournal::days() {
    std::vector<DayLine> lines;
    for (const DayRecord& record : recorded) {
        DayLine line{record.number, record.openedAt, record.closedAt,
                     static_cast<std::int64_t>(record.customers.size()), Money()};
        std::unordered_set<std::int32_t> paid;
        for (const PaidCustomer& customer : record.customers) {
            paid.insert(customer.number);
        }
        for (const JournalItem& item : record.items) {
            if (paid.count(item.customer) != 0 && !item.removedAt) {
                line.revenue += item.price;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::optional<DayRecord> MemoryJournal::day(std::int32_t number) {
    if (number < 1 || static_cast<std::size_t>(number) > recorded.size()) {
        return std::nullopt;
    }
    return recorded[static_cast<std::size_t>(number) - 1];
}

DayRecord& MemoryJournal::open() {
    if (recorded.empty() || recorded.back().closedAt) {
        throw JournalError("no day is open");
    }
    return recorded.back();
}
