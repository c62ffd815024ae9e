#include "journal/MoneyReplay.h"

#include <utility>

void MoneyReplay::discountItem(const JournalEntry& entry) {
    items[entry.item.value_or(0)] = discountOf(entry);
}

void MoneyReplay::tender(const JournalEntry& entry) {
    tenders[entry.customer.value_or(0)].push_back(
        {entry.method.value_or(""), entry.amount.value_or(Money()), entry.given});
}

std::vector<Tender> MoneyReplay::takeTenders(std::int32_t customer) {
    const auto found = tenders.find(customer);
    if (found == tenders.end()) {
        return {};
    }
    std::vector<Tender> taken = std::move(found->second);
    tenders.erase(found);
    return taken;
}

std::vector<Discount> MoneyReplay::discountsOn(const OpenOrder& order, const DayRecord& day) const {
    std::vector<Discount> all = order.discounts;
    for (const auto& kind : order.items) {
        for (std::size_t at : kind) {
            if (const auto found = items.find(day.items[at].entry); found != items.end()) {
                all.push_back(found->second);
            }
        }
    }
    return all;
}

Discount MoneyReplay::discountOf(const JournalEntry& entry) {
    return {entry.item.value_or(0),    entry.percent.value_or(0), entry.amount.value_or(Money()),
            entry.reason.value_or(""), entry.staff.value_or(""),  entry.approver.value_or("")};
}

DrawerMove MoneyReplay::drawerMoveOf(const JournalEntry& entry) {
    return {entry.method.value_or(""), entry.amount.value_or(Money()), entry.reason.value_or(""),
            entry.at, entry.staff.value_or("")};
}

PaidCustomer MoneyReplay::paidOf(const JournalEntry& entry, OpenOrder& order,
                                 const DayRecord& day) const {
    PaidCustomer paid;
    paid.number = entry.customer.value_or(0);
    paid.saleId = entry.saleId.value_or("");
    paid.paidAt = entry.at;
    paid.table = order.label;
    paid.method = entry.method.value_or("");
    paid.given = entry.given;
    paid.staff = entry.staff.value_or("");
    paid.discount = entry.discount.value_or(Money());
    paid.charge = entry.charge.value_or(Money());
    paid.tip = entry.tip.value_or(Money());
    paid.discounts = discountsOn(order, day);
    if (entry.amount) {
        order.paidInParts += *entry.amount;
        paid.part = ++order.partsPaid;
        paid.parts = order.parts;
    }
    return paid;
}

const char* MoneyReplay::marked(const JournalEntry& entry, DayRecord& day) {
    if (!entry.kind || !entry.name) {
        return "marks no item of the menu";
    }
    if (entry.type == JournalEntry::Type::soldOut) {
        day.soldOut.emplace(*entry.kind, *entry.name);
    } else {
        day.soldOut.erase({*entry.kind, *entry.name});
    }
    return nullptr;
}
