#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/ItemKind.h"
#include "base/Money.h"

// The typed commands that change the day, from the console, any device or
// the close of the day alike. Orders are named by label: "" for the
// counter's, a table's label for a table's (see base/TableLabel.h).

// How a command names an item on the menu or in an order: by its number, or
// by the words of its name.
struct ItemChoice {
    std::optional<std::int64_t> number;
    std::string name;
};

// How a command names an item in an order: by its kind and its number or
// name among the order's items of that kind, as the console shows them; or
// by its id, which it keeps wherever it moves, as devices name it.
struct ItemRef {
    ItemKind kind = ItemKind::dish;
    ItemChoice choice;
    // When set, the item's id, and kind and choice are not used.
    std::string id;
};

// How a customer pays: cash (the cash given, when counted), card or other.
struct Payment {
    std::string method = "cash";
    std::optional<Money> given;
};

// Makes that order the one the till works on.
struct SelectOrder {
    std::string label;
};

struct AddItems {
    std::string order;
    ItemKind kind = ItemKind::dish;
    ItemChoice item;
    int count = 1;
};

struct RemoveItem {
    std::string order;
    ItemRef item;
};

struct ClearOrder {
    std::string order;
};

// Pays for the whole order, or, when items are named, for those alone.
struct PayOrder {
    std::string order;
    std::vector<ItemRef> items;
    Payment payment;
};

struct MoveItems {
    std::string order;
    std::vector<ItemRef> items;
    std::string to;
};

// Makes a paid sale of the open day void, for a reason: named by its
// customer's number, or, when given, by its sale id.
struct VoidSale {
    std::int32_t customer = 0;
    std::string saleId;
    std::string reason;
};

// Closes the day, once no order is open; with `openNext`, the next day
// opens at once, as for a till that serves on.
struct CloseDay {
    bool openNext = false;
};

// Opens the day, or resumes the one the journal holds open.
struct StartDay {};

// Leaves the day open for the next start, charging nothing.
struct LeaveOpen {};

// Keeps a signed-in device's session beside the day, or with `ended` lets it
// go: written in the writer's next batch, and waited for by nobody.
struct KeepSession {
    std::string tokenHash;
    std::string staff;
    std::int64_t opened = 0;
    std::int64_t used = 0;
    bool ended = false;
};

using DayCommand = std::variant<SelectOrder, AddItems, RemoveItem, ClearOrder, PayOrder, MoveItems,
                                VoidSale, CloseDay, StartDay, LeaveOpen, KeepSession>;
