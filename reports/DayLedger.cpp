#include "reports/DayLedger.h"

#include <algorithm>

#include "menu/LibraryItems.h"

DayLedger::DayLedger(const DayRecord& record) : record(record) {
    for (std::size_t at = 0; at < record.items.size(); ++at) {
        if (!record.items[at].removedAt && record.items[at].customer != 0) {
            carts[record.items[at].customer].push_back(at);
        }
    }
}

std::vector<const JournalItem*> DayLedger::itemsOf(std::int32_t customer) const {
    std::vector<const JournalItem*> items;
    const auto found = carts.find(customer);
    if (found != carts.end()) {
        for (std::size_t at : found->second) {
            items.push_back(&record.items[at]);
        }
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const JournalItem* a, const JournalItem* b) { return a->kind < b->kind; });
    return items;
}

Cart DayLedger::cartOf(std::int32_t customer) const {
    Cart cart;
    for (const JournalItem* item : itemsOf(customer)) {
        putInCart(cart, item->kind, item->name, item->price, item->cost);
    }
    return cart;
}

std::vector<User> DayLedger::paidUsers() const {
    std::vector<User> users;
    users.reserve(record.customers.size());
    for (const PaidCustomer& customer : record.customers) {
        users.emplace_back(cartOf(customer.number), customer.number);
    }
    return users;
}

Usercollection DayLedger::paidCustomers() const { return Usercollection(paidUsers()); }

Money DayLedger::costWithSurcharge(const JournalItem& item) {
    return item.cost + surchargeOf(item.kind);
}
