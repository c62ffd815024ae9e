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

std::vector<Discount> MoneyReplay::discountsOn(const OpenOrder& order,
                                               const DayRecord& day) const {
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
    return {entry.item.value_or(0),     entry.percent.value_or(0), entry.amount.value_or(Money()),
            entry.reason.value_or(""),  entry.staff.value_or(""),  entry.approver.value_or("")};
}

DrawerMove MoneyReplay::drawerMoveOf(const JournalEntry& entry) {
    return {entry.method.value_or(""), entry.amount.value_or(Money()), entry.reason.value_or(""),
            entry.at, entry.staff.value_or("")};
}
