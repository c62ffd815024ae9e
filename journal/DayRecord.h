#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"
#include "journal/KitchenTicket.h"

// JournalItem is one item put into an order, kept by value (kind, name,
// price, cost), so that the record of a day never changes with the menu. A
// removed item stays, with the moment it was removed; a paid one knows its
// customer.
struct JournalItem {
    // The customer who paid for it; 0 while it is in an open order.
    std::int32_t customer = 0;
    ItemKind kind = ItemKind::dish;
    std::string name;
    Money price;
    Money cost;
    Moment addedAt = 0;
    std::optional<Moment> removedAt;
    // The seq of the journal entry that added it, by which it is named.
    std::int64_t entry = 0;
    // The VAT rate its price contains, in hundredths of a percent.
    std::int64_t vat = 0;
    // Who rang it up at the web till; empty at the console.
    std::string staff;
    // The cook's note, the course it is served in and the station that
    // makes it.
    std::string note;
    std::int64_t course = 1;
    std::string station;
    // The ticket that sent it to its station, 0 until sent, and when.
    std::int64_t ticket = 0;
    Moment sentAt = 0;
    // Whether its course was fired, and when its station made it ready.
    bool fired = false;
    std::optional<Moment> readyAt;

    // Sent, but not to cook until its course is fired: courses after the
    // first wait.
    bool held() const { return ticket != 0 && course > 1 && !fired; }
};

// Discount is money taken off an open order, or off one item of it: a
// percentage or an amount, with why, who gave it and the manager who
// approved it, if one had to.
struct Discount {
    // The seq of the entry that added the item; 0 for the whole order.
    std::int64_t item = 0;
    // In hundredths of a percent; 0 for an amount.
    std::int64_t percent = 0;
    Money amount;
    std::string reason;
    std::string staff;
    std::string approver;
};

// Tender is one part of a payment: how much was paid by which method, and
// the cash given, when counted.
struct Tender {
    std::string method;
    Money amount;
    std::optional<Money> given;
};

// DrawerMove is cash put in the drawer or taken out: the float it opens
// with (`open`), cash `in` or `out`, or the `count` at the close.
struct DrawerMove {
    std::string kind;
    Money amount;
    std::string reason;
    Moment at = 0;
    std::string staff;
};

// PaidCustomer is a customer who paid: the number in the day, the sale's id,
// unique across tills, when, the table paid for ("" at the counter), how,
// and, for a sale made void, when and why. A void sale stays in the day.
struct PaidCustomer {
    std::int32_t number = 0;
    std::string saleId;
    Moment paidAt = 0;
    std::string table;
    // cash, card or other; empty for a sale made before methods were kept.
    std::string method;
    // The cash given, when it was counted.
    std::optional<Money> given;
    // When the sale was made void, and why.
    std::optional<Moment> voidedAt;
    std::string reason;
    // Who took the payment at the web till; empty at the console.
    std::string staff;
    // What the sale came to: its items' prices, less its discounts, plus the
    // service charge; for an equal part of a bill, the part.
    Money total;
    Money discount;
    Money charge;
    // The tip, which is not revenue.
    Money tip;
    // How it was paid: one tender, or more for a bill paid in parts.
    std::vector<Tender> tenders;
    // For an equal part of a bill: which part, of how many; 0 otherwise.
    std::int64_t part = 0;
    std::int64_t parts = 0;
    // The manager who approved the void.
    std::string voidApprover;
    // The discounts on the order when it was paid.
    std::vector<Discount> discounts;
};

// OpenOrder is an order not paid yet: the counter's (label "") or a table's,
// with its sale id, and its items as places in DayRecord::items, by kind,
// in the order they came.
struct OpenOrder {
    std::string label;
    std::string saleId;
    Moment openedAt = 0;
    std::array<std::vector<std::size_t>, 3> items;
    // Its place among the day's orders, in the order they opened.
    std::uint64_t sequence = 0;
    // The discounts off the whole order; each item's are kept by the day.
    std::vector<Discount> discounts;
    // When split into equal parts: how many, and how many were paid.
    std::int64_t parts = 0;
    std::int64_t partsPaid = 0;
    Money paidInParts;

    std::size_t size() const { return items[0].size() + items[1].size() + items[2].size(); }
};

// DayRecord is one day as the journal holds it: its customers in the order
// they paid, every item in the order it was added, the orders still open
// (the counter's first, then the tables' in the order they opened) and the
// order the till works on.
struct DayRecord {
    std::int32_t number = 0;
    Moment openedAt = 0;
    std::optional<Moment> closedAt;
    std::vector<PaidCustomer> customers;
    std::vector<JournalItem> items;
    std::vector<OpenOrder> orders;
    std::string current;
    // The kitchen's tickets, in the order they were made.
    std::vector<KitchenTicket> tickets;
    // The cash put in the drawer and taken out, in order.
    std::vector<DrawerMove> drawer;
    // The Z number of its close, for days closed since closes had them.
    std::optional<std::int64_t> z;
    // The menu's items sold out for the rest of the day, by kind and name.
    std::set<std::pair<ItemKind, std::string>> soldOut;
};

// Returns the id an item keeps for as long as its order is open, wherever it
// moves: its day and the seq of the entry that added it, as "3-17". Unique
// within the journal.
inline std::string itemIdOf(std::int32_t day, std::int64_t entry) {
    return std::to_string(day) + "-" + std::to_string(entry);
}

// DayLine is one day in the list of days: what `restaurant days` shows.
struct DayLine {
    std::int32_t number = 0;
    Moment openedAt = 0;
    std::optional<Moment> closedAt;
    std::int64_t customers = 0;
    Money revenue;
};
