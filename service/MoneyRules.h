#pragma once

#include <utility>

#include "service/Bill.h"
#include "service/Commands.h"
#include "service/RuleContext.h"

// MoneyRules are the rules of discounts, equal parts and the drawer, as
// pure functions: the day as it stands and a command give the entries that
// carry it out, or the refusal that says why nothing may change.
class MoneyRules {
public:
    // A waiter may give up to this share of an order's prices in discounts,
    // all of them together, in hundredths of a percent; more needs a
    // manager.
    static constexpr std::int64_t waitersMost = 1000;
    static constexpr std::int64_t mostParts = 20;

    static Ruled discount(const RuleContext& context, const GiveDiscount& command);
    static Ruled splitEvenly(const RuleContext& context, const SplitEvenly& command);
    static Ruled drawer(const RuleContext& context, const DrawerCash& command);

private:
    static std::pair<Bill, Bill> billsAround(const DayReplay& day, const OpenOrder& open,
                                             const Discount& given);
    // Returns why the discount is no discount, if it is not.
    static std::optional<Refusal> badDiscount(const GiveDiscount& command, Money base);
};
