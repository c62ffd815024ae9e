#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"

// MoneyReplay is the part of a day's replay that follows discounts, the
// parts a payment is tendered in and the drawer: the discounts on each
// item while it is in an open order, wherever it moves, and the tenders
// that wait for their payment's entry. The replay keeps the orders.
class MoneyReplay {
public:
    // Keeps the discount on the item the entry names, in place of any it had.
    void discountItem(const JournalEntry& entry);
    // Keeps a tender until its customer's payment takes it.
    void tender(const JournalEntry& entry);
    // Returns the tenders kept for the customer, and forgets them.
    std::vector<Tender> takeTenders(std::int32_t customer);
    // Returns the discounts on the order: its own, then its items'.
    std::vector<Discount> discountsOn(const OpenOrder& order, const DayRecord& day) const;

    // Returns the customer a payment's entry makes of the order; an equal
    // part of a bill counts as paid at once.
    PaidCustomer paidOf(const JournalEntry& entry, OpenOrder& order, const DayRecord& day) const;
    // Marks the item sold out, or to be had again; returns why the entry is
    // damaged, or null.
    static const char* marked(const JournalEntry& entry, DayRecord& day);
    static Discount discountOf(const JournalEntry& entry);
    static DrawerMove drawerMoveOf(const JournalEntry& entry);

private:
    // By the seq of the entry that added the item.
    std::unordered_map<std::int64_t, Discount> items;
    std::unordered_map<std::int32_t, std::vector<Tender>> tenders;
};
