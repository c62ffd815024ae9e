#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "service/Commands.h"

// Command is one line at the till, parsed: what to do, and on what. The
// order it acts on is the till's current one, unless it names another.
struct Command {
    enum class Verb {
        menu,
        add,
        remove,
        clear,
        cart,
        pay,
        split,
        move,
        table,
        counter,
        tables,
        voidSale,
        send,
        fire,
        reprint,
        discount,
        evenly,
        drawer,
        receipt,
        report,
        summary,
        help,
        quit,
    };

    Verb verb = Verb::help;
    ItemKind kind = ItemKind::dish;
    int count = 1;
    // The item added, removed or moved.
    ItemChoice item;
    // The items paid for by a split.
    std::vector<ItemRef> items;
    // The table turned to, or moved to ("" for the counter).
    std::string label;
    // The customer a receipt or a void is for.
    std::optional<std::int32_t> customer;
    // How a pay or a split is paid, and whether the line said so.
    Payment payment;
    bool paymentStated = false;
    // Why a sale is made void.
    std::string reason;
    // The cook's note on the items added.
    std::string note;
    // Whether a move takes every item of the order.
    bool all = false;
    // The course fired, the ticket printed again, or the equal parts.
    std::int64_t number = 0;
    // The parts of a bill paid in parts before the last way to pay, and
    // the tip.
    std::vector<Payment> parts;
    Money tip;
    // A discount's percentage, in hundredths of a percent, or its amount;
    // the drawer's amount.
    std::int64_t percent = 0;
    Money amount;
    // Whether a discount is off one item, named by kind and item.
    bool onItem = false;
    // open, in, out or count, for the drawer.
    std::string drawer;
};
