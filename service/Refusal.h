#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Money.h"

// Refusal is why the day's service did not carry out a command: the reason,
// and what a person needs to hear to mend it. Nothing changed. The console
// and the web till each put it in their own words.
struct Refusal {
    enum class Reason {
        noSuchMenuNumber,    // `number` of `kind` is not on the menu, which has `size`
        noSuchMenuName,      // no item of `kind` on the menu begins with `text`
        ambiguousMenuName,   // `text` begins the names of `kind` listed in `names`
        badCount,            // `number` is not a count from 1 to 99
        badLabel,            // `text` is not a table's label
        noSuchPosition,      // order `order` holds `size` items of `kind`, not item `number`
        noSuchOrderName,     // no item of `kind` in order `order` is called `text`
        ambiguousOrderName,  // `text` could be any of `names` in order `order`
        emptyOrder,          // order `order` holds nothing
        sameOrder,           // an item would move to the order it is in
        ordersOpen,          // the day cannot close while the tables in `names` are open
        notEnough,           // `given` is less than the `due` total
        givenTooMuch,        // `given` is above `due`, the most cash a customer hands over
        namedTwice,          // a split names the item `text` of `kind` in order `order` twice
        badMethod,           // `text` is not cash, card or other
        noSuchCustomer,      // no customer `number` paid today
        alreadyVoid,         // customer `number`'s sale is void already
        noReason,            // a void needs a reason
        badReason,           // a void's reason that is not plain text of 120 characters at most
        noSuchItem,          // order `order` holds no item of id `text`
        noSuchSale,          // no sale was paid under the id `text`
        saleOfClosedDay,     // the sale `text` was paid in day `number`, closed since
        keyReused,           // the request's key was sent before with another request
        journalRefused,      // the journal refused the change: `text` says why
        outOfMemory,         // memory ran out while the command was carried out
        memoryLost,          // the day could not be reloaded after memory ran out
        dayOver,             // the day is closed
        badNote,             // a note that is not plain text of 60 characters at most
        nothingToSend,       // order `order` holds no item not sent yet
        nothingHeld,         // order `order` holds no item of course `number` held
        noSuchTicket,        // no ticket `number` was made today, or it sends no items
        notOnTicket,         // ticket `number` lists no item of id `text`
        noPrinter,           // station `text` has no printer
        managerNeeded,       // `text` (void, close, discount) needs a manager's approval
        wrongApproval,       // the approval named no manager, or a wrong PIN
        kitchenOnly,         // the kitchen's staff may only mark tickets and items
        badDiscount,         // not a percentage from 0.01 to 100, nor an amount within `due`
        badAmount,           // `given` is no amount for `text`: in and out need one above 0
        needsReason,         // a discount, cash in or out needs a reason of plain text
        totalChanged,        // the bill comes to `due`, not the `given` total expected
        badParts,            // `number` is not a number of parts from 2 to 20, or parts are paid
        partsTooMuch,        // the parts named come to `given`, the bill only to `due`
        soldOut,             // the menu's `text` of `kind` is sold out
        menuChanged,         // the number was chosen from an older menu; it is version `number`
    };

    Reason reason = Reason::dayOver;
    ItemKind kind = ItemKind::dish;
    std::string text;
    std::int64_t number = 0;
    std::size_t size = 0;
    // The order concerned: a table's label, "" for the counter.
    std::string order;
    std::vector<std::string> names;
    Money given;
    Money due;
};
