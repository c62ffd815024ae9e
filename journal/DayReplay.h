#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"
#include "journal/KitchenReplay.h"
#include "journal/MoneyReplay.h"

// DayReplay rebuilds a day from its entries, in their order: the orders
// opened, the items put into them, moved and taken out, the customers who
// paid, the order the till works on, when the day opened and closed. The
// till's memory of its day is the same replay, fed each entry the journal
// accepted, so memory and journal cannot disagree. Entries that do not make
// a day (a removal of an item never added, an entry after the close) are
// damage, and throw JournalError.
//
// Orders are found by label in constant time, so that a command costs the
// same whatever the number of open orders.
class DayReplay {
public:
    explicit DayReplay(std::int32_t day);

    void apply(const JournalEntry& entry);

    // Returns the day as replayed so far, its open orders listed.
    DayRecord record() const;
    // Returns the items and customers so far; it lists no open orders, so
    // read them from orders().
    const DayRecord& sofar() const;
    // Returns the open order of that label ("" for the counter), or null.
    const OpenOrder* order(std::string_view label) const;
    // Returns the open orders: the counter's first, then the tables' in the
    // order they opened.
    std::vector<const OpenOrder*> orders() const;
    // Returns the label of the order the till works on.
    const std::string& current() const;
    // Returns the customer who paid under that number, or null.
    const PaidCustomer* customer(std::int32_t number) const;
    // Returns the number the next customer to pay gets.
    std::int32_t nextCustomer() const;
    // Returns true when any item was ever added.
    bool everHeldAnItem() const;
    // Returns the day's line in the list of days as it stands, kept as the
    // entries come: its customers and revenue, void sales left out.
    DayLine line() const;
    // Returns where in sofar().items the items a customer paid for are, in
    // the order they were added.
    const std::vector<std::size_t>& itemsOf(std::int32_t customer) const;
    // Returns the keys (the folded labels, "" for the counter) of the
    // orders that opened, changed or closed since forgetChanges; all of
    // them, for a replay that has not forgotten any.
    const std::set<std::string>& changedOrders() const;
    void forgetChanges();
    // Returns where in sofar().items the item of that id is, while it is in
    // an open order, with that order's label; nothing otherwise.
    std::optional<std::pair<std::size_t, std::string>> openItem(std::string_view id) const;
    // Returns where in sofar().items the item added by entry `seq` is; the
    // item must have been added.
    std::size_t itemAt(std::int64_t seq) const;
    // Returns the number the next kitchen ticket gets.
    std::int64_t nextTicket() const;
    // Returns the kitchen ticket of that number, or null.
    const KitchenTicket* ticket(std::int64_t number) const;
    // Returns the discounts on the open order: its own, then its items'.
    std::vector<Discount> discountsOn(const OpenOrder& order) const;
    // The service charge on tables' bills, in hundredths of a percent, as
    // the settings say while the day is served: no entry holds it, for a
    // payment records what it charged.
    void chargeTables(std::int64_t serviceCharge);
    std::int64_t serviceCharge() const;

    // Returns the day its entries make.
    static DayRecord of(std::int32_t day, const std::vector<JournalEntry>& entries);
    // Returns the day's line in the list of days: its customers, and the
    // revenue of the items they paid for.
    static DayLine lineOf(const DayRecord& day);

private:
    struct Open {
        OpenOrder order;
    };

    void openOrder(const std::string& label, const std::string& saleId, Moment at);
    // One step of the replay for each type of entry.
    void openDay(const JournalEntry& entry);
    void add(const JournalEntry& entry);
    void remove(const JournalEntry& entry);
    void pay(const JournalEntry& entry);
    void close(const JournalEntry& entry);
    void select(const JournalEntry& entry);
    void orderOpens(const JournalEntry& entry);
    void move(const JournalEntry& entry);
    void part(const JournalEntry& entry);
    void voidSale(const JournalEntry& entry);
    void relabel(const JournalEntry& entry);
    // The signing key and the anchor change nothing of the day.
    void noted(const JournalEntry& entry);
    // Tickets, and the kitchen's marks on their items.
    void cooked(const JournalEntry& entry);
    // Discounts, the drawer, tenders and equal parts.
    void cashed(const JournalEntry& entry);
    // Items sold out, and to be had again.
    void marked(const JournalEntry& entry);
    // Takes the item out of its open order, which closes once empty;
    // returns the order's key.
    std::string takeOut(const JournalEntry& entry);
    Open& openOf(const JournalEntry& entry, const std::string& key);
    std::vector<std::int64_t> paidFor(const JournalEntry& entry, const OpenOrder& order);
    void damaged(const JournalEntry& entry, const char* what) const;

    DayRecord day;
    // Where each added item is in day.items, by the seq of its entry.
    std::unordered_map<std::int64_t, std::size_t> added;
    // The key of the open order each item still in one is in.
    std::unordered_map<std::int64_t, std::string> placed;
    // The open orders by key: their label folded, "" for the counter.
    std::unordered_map<std::string, Open> open;
    // The customer whose cart an item went into, for items added before
    // orders existed.
    std::unordered_map<std::int64_t, std::int32_t> cartOf;
    // The items marked as part of a customer's payment, by customer.
    std::unordered_map<std::int32_t, std::vector<std::int64_t>> parts;
    // Where each customer who paid is in day.customers, by number.
    std::unordered_map<std::int32_t, std::size_t> paidAt;
    // The items each customer paid for, and the total of a sale that stands.
    std::unordered_map<std::int32_t, std::vector<std::size_t>> paidItems;
    std::unordered_map<std::int32_t, Money> totals;
    std::int64_t standing = 0;
    Money revenue;
    std::uint64_t orderings = 0;
    std::set<std::string> changed;
    KitchenReplay kitchen;
    MoneyReplay money;
    std::int64_t charge = 0;
    std::int32_t lastCustomer = 0;
    bool opened = false;
};
