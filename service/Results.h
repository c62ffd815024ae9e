#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"
#include "service/Commands.h"

// The plain values the day's service hands out: what its commands did, and
// what its open orders hold. They carry facts, never text to print.

// OrderItem is one item in an open order, with the id it keeps while the
// order is open, wherever it moves.
struct OrderItem {
    ItemKind kind = ItemKind::dish;
    std::string name;
    Money price;
    Money cost;
    std::string id;
    std::string note;
    std::int64_t course = 1;
    bool sent = false;
    bool held = false;
    bool ready = false;
};

// OrderView is an open order as it stands: the counter's (label "") or a
// table's, its items by kind in the order they came, and what it comes to.
struct OrderView {
    std::string label;
    std::string saleId;
    Moment openedAt = 0;
    std::array<std::vector<OrderItem>, 3> items;
    Money total;
    std::size_t count = 0;
    // What paying the whole order takes now: the prices less the discounts
    // plus the service charge; for a bill in equal parts, the next part.
    Money discount;
    Money charge;
    Money due;
    std::int64_t parts = 0;
    std::int64_t partsPaid = 0;
};

// The day as the till finds it when it starts.
struct Started {
    std::int32_t day = 0;
    bool resumed = false;
    Moment openedAt = 0;
    // The customers who paid, void sales left out, as the list of days counts.
    std::size_t paid = 0;
    std::int32_t nextCustomer = 1;
    std::string current;
    std::vector<OrderView> orders;
};

struct Selected {
    std::string label;
    // The order, when it is open already.
    std::optional<OrderView> order;
};

struct Added {
    std::string order;
    // The number the counter's customer will get, for the counter's lines.
    std::int32_t customer = 0;
    std::string name;
    int count = 0;
};

struct Removed {
    std::string order;
    std::int32_t customer = 0;
    std::string name;
};

struct Cleared {
    std::string order;
    std::int32_t customer = 0;
    std::size_t count = 0;
};

struct Paid {
    std::string order;
    std::int32_t customer = 0;
    std::string saleId;
    Money total;
    std::size_t items = 0;
    // What the order still holds: nothing, unless part of it was paid.
    std::size_t left = 0;
    std::int32_t next = 0;
    Payment payment;
    // The cash given less the total, when cash was counted.
    Money change;
    // Within the total: the discounts and the service charge; and the tip.
    Money discount;
    Money charge;
    Money tip;
    std::vector<Payment> parts;
    // For an equal part of a bill, which of how many.
    std::int64_t part = 0;
    std::int64_t ofParts = 0;
};

struct Moved {
    // The name of the first item moved, and how many moved.
    std::string name;
    std::size_t count = 0;
    std::string from;
    std::string to;
    std::int32_t customer = 0;
};

struct Voided {
    std::int32_t customer = 0;
    std::string saleId;
    Money total;
    std::string reason;
};

// The day as it closed: every change answered before the close is in it.
struct Closed {
    std::int32_t day = 0;
    std::int64_t z = 0;
    // The report's figures: the cost with the kinds' surcharges, the
    // revenue and the profit of the sales that stand.
    Money cost;
    Money revenue;
    Money profit;
};

// The day was left open, or forgotten when it never held an item.
struct LeftOpen {};

// A ticket a command made: its number, station and how many items it lists.
struct TicketMade {
    std::int64_t number = 0;
    std::string station;
    std::size_t items = 0;
};

// The order's items went to their stations, or, for a FIRE, its course.
struct Sent {
    std::string order;
    // The course fired; 0 for a send.
    std::int64_t course = 0;
    std::vector<TicketMade> tickets;
};

// The ticket's items marked ready, or brought back, or the ticket queued to
// print again; `items` counts the items the mark changed.
struct TicketMarked {
    std::int64_t ticket = 0;
    std::string station;
    std::size_t items = 0;
};

// A discount given: what it takes off now, and the order's discounts in all.
struct Discounted {
    std::string order;
    std::string item;
    Money amount;
    Money total;
};

// The order's bill in equal parts, the first ones taking the odd cents.
struct SplitUp {
    std::string order;
    std::vector<Money> shares;
};

// What the drawer was given, or counted.
struct DrawerMoved {
    std::string kind;
    Money amount;
};

// An item marked sold out, or to be had again.
struct SoldOutMarked {
    ItemKind kind = ItemKind::dish;
    std::string name;
    bool soldOut = true;
};

// The menu, the staff or a setting changed while the till serves.
struct Administered {
    // The menu's version from now on.
    std::int64_t menuVersion = 0;
};

// What a command did, one alternative for each command, in their order.
using Result =
    std::variant<Selected, Added, Removed, Cleared, Paid, Moved, Voided, Closed, Started, LeftOpen,
                 Sent, TicketMarked, Discounted, SplitUp, DrawerMoved, SoldOutMarked, Administered>;
