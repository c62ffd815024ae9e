#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"
#include "journal/Journal.h"

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

// How a customer pays: cash (the cash given, when counted), card or other;
// with an amount for a part of a bill paid in parts.
struct Payment {
    std::string method = "cash";
    std::optional<Money> given;
    std::optional<Money> amount;
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
    // The cook's note on each item, such as "no onions"; empty for none.
    std::string note;
    // The menu's version a number was chosen from, when the device says.
    std::optional<std::int64_t> menuVersion;
};

struct RemoveItem {
    std::string order;
    ItemRef item;
};

struct ClearOrder {
    std::string order;
};

// Pays for the whole order, or, when items are named, for those alone:
// the `parts` first, each with its amount, then `payment` the rest. With
// `expectedTotal`, a bill that comes to another total is refused.
struct PayOrder {
    std::string order;
    std::vector<ItemRef> items;
    Payment payment;
    std::vector<Payment> parts;
    Money tip;
    std::optional<Money> expectedTotal;
};

// Takes a percentage (in hundredths of a percent) or an amount off the
// order, or off one item of it, for a reason.
struct GiveDiscount {
    std::string order;
    std::optional<ItemRef> item;
    std::int64_t percent = 0;
    Money amount;
    std::string reason;
};

// Divides the order's bill into equal parts, each paid by a customer of its
// own; it pays nothing by itself.
struct SplitEvenly {
    std::string order;
    std::int64_t parts = 2;
};

// The drawer's float (`open`), cash put in (`in`) or taken out (`out`) for a
// reason, or the cash counted at the close (`count`).
struct DrawerCash {
    std::string kind = "open";
    Money amount;
    std::string reason;
};

// Moves the items named, or with `all` every item of the order.
struct MoveItems {
    std::string order;
    std::vector<ItemRef> items;
    std::string to;
    bool all = false;
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

// Sends the order's items not sent yet to their stations: one ticket for
// each station they reach.
struct SendOrder {
    std::string order;
};

// Tells the stations to cook the order's items of that course, sent and held.
struct FireCourse {
    std::string order;
    std::int64_t course = 2;
};

// Marks the items of those ids on the ticket ready; every item of it when
// none is named.
struct MarkReady {
    std::int64_t ticket = 0;
    std::vector<std::string> items;
};

// Brings back a ticket marked ready: its items are to cook again.
struct RecallTicket {
    std::int64_t ticket = 0;
};

// Prints the ticket again, headed COPY, on its station's printer.
struct ReprintTicket {
    std::int64_t ticket = 0;
};

// Notes the print queue's progress with a job: its bytes began to go to
// the printer, or with `done`, all went.
struct PrintProgress {
    std::int64_t job = 0;
    bool done = false;
};

// Says that the station's printer went offline at a moment, or with none,
// that it is back: kept in memory for every device to see.
struct PrinterState {
    std::string station;
    std::optional<Moment> offlineSince;
};

// Says that the head office's database could not be reached since a
// moment, or with none, that it is reached again: kept in memory for every
// device to see.
struct HeadOfficeState {
    std::optional<Moment> unreachableSince;
};

// Opens the day, or resumes the one the journal holds open; tickets for
// the `printers`' stations go to the print queue. Tables' bills carry a
// service charge of `serviceCharge`, in hundredths of a percent.
struct StartDay {
    std::set<std::string> printers;
    std::int64_t serviceCharge = 0;
};

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

// Marks a menu's item sold out for the rest of the day, or to be had again.
struct MarkSoldOut {
    ItemKind kind = ItemKind::dish;
    ItemChoice item;
    bool soldOut = true;
};

// Makes the stored menu the menu from now on, kept in the journal: items
// already ordered keep their prices.
struct ReplaceMenu {
    std::shared_ptr<const Journal::StoredMenu> stored;
};

// Adds a member of staff or changes one, or with `remove` removes them.
struct ChangeStaff {
    Journal::StaffMember member;
    bool remove = false;
};

// Sets one of the restaurant's settings; an empty value unsets it.
struct ChangeSetting {
    std::string key;
    std::string value;
};

using DayCommand = std::variant<SelectOrder, AddItems, RemoveItem, ClearOrder, PayOrder, MoveItems,
                                VoidSale, CloseDay, StartDay, LeaveOpen, KeepSession, SendOrder,
                                FireCourse, MarkReady, RecallTicket, ReprintTicket, PrintProgress,
                                PrinterState, HeadOfficeState, GiveDiscount, SplitEvenly,
                                DrawerCash, MarkSoldOut, ReplaceMenu, ChangeStaff, ChangeSetting>;
