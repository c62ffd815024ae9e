#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "accounts/Cart.h"
#include "accounts/User.h"
#include "accounts/Usercollection.h"
#include "base/Money.h"
#include "journal/DayRecord.h"

// DayLedger rebuilds a recorded day into the library's own classes: each
// customer's cart from the items still in it, in the order they were added,
// and the paid customers as a Usercollection in the order they paid. A day
// rebuilt so reports to the byte what the till printed while it ran.
class DayLedger {
public:
    explicit DayLedger(const DayRecord& record);

    // Returns the items a customer paid for, in the cart's order: main
    // dishes, snacks, drinks, each kind in the order added.
    std::vector<const JournalItem*> itemsOf(std::int32_t customer) const;
    // Returns the cart that customer paid for: an empty one for a number
    // that paid for nothing.
    Cart cartOf(std::int32_t customer) const;
    // Returns the paid customers in the order they paid, each with the cart
    // they paid for.
    std::vector<User> paidUsers() const;
    Usercollection paidCustomers() const;

    // Returns the item's cost with its kind's fixed surcharge, in cents.
    static Money costWithSurcharge(const JournalItem& item);

private:
    const DayRecord& record;
    // Per customer, the positions in record.items of the items paid for.
    std::unordered_map<std::int32_t, std::vector<std::size_t>> carts;
};
