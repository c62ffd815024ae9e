#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/ItemKind.h"
#include "base/Moment.h"
#include "base/Money.h"

// JournalEntry is one change to a day as the journal keeps it: appended in
// order, numbered within its day, never changed afterwards. A day is the
// replay of its entries.
struct JournalEntry {
    // The kinds of change. The numbers are kept in the journal and hashed:
    // they never change, and new kinds take new numbers.
    enum class Type : std::uint8_t {
        open = 1,        // the day opens
        add = 2,         // an item goes into an order: `label`'s, the counter's without one
        remove = 3,      // the item added by entry `item` leaves its order
        pay = 4,         // an order is paid by customer `customer`, under a sale id
        close = 5,       // the day closes
        select = 6,      // the till turns to order `label`, the counter's without one
        order = 7,       // order `label` opens under a sale id
        move = 8,        // the item added by entry `item` moves to order `label`
        part = 9,        // the item added by entry `item` is part of `customer`'s payment
        voided = 10,     // customer `customer`'s sale is void, for `reason`
        relabel = 11,    // the open order `label` is called `name` from now on
        key = 12,        // the day heads are signed by the public key `name`, in hex
        anchored = 13,   // a new anchor was written after a full check, for `reason`
        ticket = 14,     // kitchen ticket `ticket` for `station`, of order `label`, `heading`
        onTicket = 15,   // the item added by entry `item` is on ticket `ticket`
        ready = 16,      // the item added by entry `item`, on ticket `ticket`, is ready
        recall = 17,     // ticket `ticket`'s items are to cook again
        discount = 18,   // `percent` or `amount` off order `label`, or off the item `item`
        drawer = 19,     // the drawer's float, cash in or out, or its count: `method`, `amount`
        tender = 20,     // customer `customer` paid `amount` of a sale by `method`
        evenly = 21,     // order `label` is to be paid in `parts` equal parts
        soldOut = 22,    // the menu's item `name` of `kind` is sold out for the day
        available = 23,  // the menu's item `name` of `kind` is to be had again
    };

    std::int32_t day = 0;
    // The entry's place in its day: 1 for the first.
    std::int64_t seq = 0;
    Type type = Type::open;
    Moment at = 0;
    std::optional<std::int32_t> customer;
    // The seq of the entry that added the item a removal takes back.
    std::optional<std::int64_t> item;
    std::optional<ItemKind> kind;
    std::optional<std::string> name;
    std::optional<Money> price;
    std::optional<Money> cost;
    std::optional<std::string> saleId;
    // The table an order belongs to; the counter's order has none.
    std::optional<std::string> label;
    // The VAT rate an item's price contains, in hundredths of a percent.
    std::optional<std::int64_t> vat;
    // How a customer paid: cash, card or other; and the cash given.
    std::optional<std::string> method;
    std::optional<Money> given;
    // Why a sale is void.
    std::optional<std::string> reason;
    // The member of staff who rang an item, took a payment or made a void.
    std::optional<std::string> staff;
    // The day's line in the list of days, written with its close: when the
    // day opened, how many customers paid, and the revenue they brought.
    std::optional<Moment> opened;
    std::optional<std::int64_t> customers;
    std::optional<Money> revenue;
    // The cook's note on an item, its course and the station that makes it.
    std::optional<std::string> note;
    std::optional<std::int64_t> course;
    std::optional<std::string> station;
    // A kitchen ticket's number in its day, and what heads it: FIRE, VOID or
    // MOVED; a ticket that sends items has none.
    std::optional<std::int64_t> ticket;
    std::optional<std::string> heading;
    // The manager who approved what a waiter could not do alone.
    std::optional<std::string> approver;
    // A discount's, the drawer's, a tender's or an equal part's amount; a
    // discount's percentage, in hundredths of a percent.
    std::optional<Money> amount;
    std::optional<std::int64_t> percent;
    // What a payment took off as discounts, added as service charge, and
    // took as a tip, which is not revenue.
    std::optional<Money> discount;
    std::optional<Money> charge;
    std::optional<Money> tip;
    // The close's Z number, counted up through the journal.
    std::optional<std::int64_t> z;
    // How many equal parts an order is split into.
    std::optional<std::int64_t> parts;

    // Returns an entry of that type at that moment, its other fields empty.
    static JournalEntry of(Type type, Moment at) {
        JournalEntry entry;
        entry.type = type;
        entry.at = at;
        return entry;
    }
};
