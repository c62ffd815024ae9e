#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "accounts/Cart.h"
#include "accounts/User.h"
#include "accounts/Usercollection.h"
#include "base/Money.h"
#include "journal/DayRecord.h"

// DayLedger rebuilds a recorded day into the library's own classes: each
// customer's cart from the items still in it, in the order they were added,
// and the paid customers whose sale stands as a Usercollection in the order
// they paid. A day rebuilt so reports to the byte what the till printed
// while it ran, less the sales made void since.
class DayLedger {
public:
    // The VAT one rate takes from a sale: the gross amount sold at the
    // rate, and the VAT it contains.
    struct Vat {
        Money gross;
        Money vat;
    };

    explicit DayLedger(const DayRecord& record);

    // Returns the items a customer paid for, in the cart's order: main
    // dishes, snacks, drinks, each kind in the order added.
    std::vector<const JournalItem*> itemsOf(std::int32_t customer) const;
    // Returns the cart that customer paid for: an empty one for a number
    // that paid for nothing.
    Cart cartOf(std::int32_t customer) const;
    // Returns the total a customer paid.
    Money totalOf(std::int32_t customer) const;
    // Returns a customer's sale by VAT rate, the lowest first: the VAT is
    // rounded once per rate, so that receipts and the day's sums agree.
    std::map<std::int64_t, Vat> vatOf(std::int32_t customer) const;
    // Returns the paid customers whose sale stands, in the order they paid,
    // each with the cart they paid for.
    std::vector<User> paidUsers() const;
    Usercollection paidCustomers() const;

    // Returns the item's cost with its kind's fixed surcharge, in cents.
    static Money costWithSurcharge(const JournalItem& item);
    // Returns the day without its void sales and their items, and without
    // its open orders, for the reports of what the day took.
    static DayRecord standing(const DayRecord& record);

private:
    const DayRecord& record;
    // Per customer, the positions in record.items of the items paid for.
    std::unordered_map<std::int32_t, std::vector<std::size_t>> carts;
};
