#include "reports/DayLedger.h"

#include <algorithm>
#include <unordered_set>

#include "base/Vat.h"
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

Money DayLedger::totalOf(std::int32_t customer) const {
    Money total;
    for (const JournalItem* item : itemsOf(customer)) {
        total += item->price;
    }
    return total;
}

std::map<std::int64_t, DayLedger::Vat> DayLedger::vatOf(std::int32_t customer) const {
    std::map<std::int64_t, Vat> rates;
    for (const JournalItem* item : itemsOf(customer)) {
        rates[item->vat].gross += item->price;
    }
    for (auto& [rate, sold] : rates) {
        sold.vat = vatContained(sold.gross, rate);
    }
    return rates;
}

std::vector<User> DayLedger::paidUsers() const {
    std::vector<User> users;
    users.reserve(record.customers.size());
    for (const PaidCustomer& customer : record.customers) {
        if (!customer.voidedAt) {
            users.emplace_back(cartOf(customer.number), customer.number);
        }
    }
    return users;
}

Usercollection DayLedger::paidCustomers() const { return Usercollection(paidUsers()); }

Money DayLedger::costWithSurcharge(const JournalItem& item) {
    return item.cost + surchargeOf(item.kind);
}

DayRecord DayLedger::standing(const DayRecord& record) {
    DayRecord kept = record;
    std::unordered_set<std::int32_t> voided;
    kept.customers.clear();
    for (const PaidCustomer& customer : record.customers) {
        if (customer.voidedAt) {
            voided.insert(customer.number);
        } else {
            kept.customers.push_back(customer);
        }
    }
    // Open orders name items by place, and the reports need none of them.
    kept.orders.clear();
    kept.items.clear();
    for (const JournalItem& item : record.items) {
        if (voided.count(item.customer) == 0 || item.removedAt) {
            kept.items.push_back(item);
        }
    }
    return kept;
}
