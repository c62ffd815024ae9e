#pragma once

#include <cstddef>
#include <vector>

#include "base/Money.h"
#include "journal/DayRecord.h"
#include "journal/DayReplay.h"

// Bill is what a payment of an open order comes to: its items' prices,
// less the discounts, plus the service charge on a table's bill. Item
// discounts come off their items; the order's percentages come off what is
// left, in every payment; the order's amounts come off the payment that
// closes the order. Together they never take more than the prices.
struct Bill {
    Money prices;
    Money discount;
    Money charge;
    Money due;

    // `chosen` are the items paid for, as places in the day's items;
    // `closing` says whether the payment leaves the order empty;
    // `serviceCharge` is in hundredths of a percent.
    static Bill of(const DayReplay& day, const OpenOrder& order,
                   const std::vector<std::size_t>& chosen, bool closing,
                   std::int64_t serviceCharge);
    // The same with those discounts in place of the order's.
    static Bill of(const DayReplay& day, const OpenOrder& order,
                   const std::vector<std::size_t>& chosen, bool closing, std::int64_t serviceCharge,
                   const std::vector<Discount>& discounts);
    // Returns the bill of the whole order.
    static Bill whole(const DayReplay& day, const OpenOrder& order, std::int64_t serviceCharge);
    static Bill whole(const DayReplay& day, const OpenOrder& order, std::int64_t serviceCharge,
                      const std::vector<Discount>& discounts);
    // Returns what a discount takes off that base: its percentage of it, or
    // its amount, but never more than the base.
    static Money off(const Discount& discount, Money base);
};
