#pragma once

#include <ostream>
#include <string>

#include "base/Money.h"
#include "service/Refusal.h"
#include "service/Results.h"

// MoneyWords puts what the money's commands did, and why they were
// refused, in the till's words, one line each: discounts, equal parts, the
// drawer, and what a payment adds to its line (parts, charges, tips,
// change).
class MoneyWords {
public:
    // Amounts end with the currency's symbol.
    MoneyWords(std::ostream& out, std::string currency);

    void discounted(const Discounted& discounted, std::int32_t customer);
    void splitUp(const SplitUp& split, std::int32_t customer);
    void drawerMoved(const DrawerMoved& moved);
    // The lines under a payment's: its part of a bill, its discounts, service
    // charge, tip, the ways it was paid and the change.
    void paid(const Paid& paid);
    void refused(const Refusal& refusal);

private:
    std::string amount(Money money) const;
    void say(const std::string& line);

    std::ostream& out;
    std::string currency;
};
