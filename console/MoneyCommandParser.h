#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/Money.h"
#include "console/Command.h"

// MoneyCommandParser reads the till's lines about money that is not a
// payment: discounts and the drawer; and the amounts and percentages every
// money line shares.
class MoneyCommandParser {
public:
    using Parsed = std::variant<Command, std::string>;

    // discount 10% REASON, discount 5.00 REASON, discount dish 1 50% REASON
    static Parsed discount(const std::vector<std::string>& words);
    // drawer open AMOUNT, drawer in AMOUNT REASON, drawer out AMOUNT REASON,
    // drawer count AMOUNT
    static Parsed drawer(const std::vector<std::string>& words);

    // Returns the amount a word writes, with a point or a comma and at most
    // two decimals, if it writes one of 0 or more.
    static std::optional<Money> amountOf(const std::string& word);
    // Returns the percentage a word writes as 10% or 12.5%, in hundredths of
    // a percent.
    static std::optional<std::int64_t> percentOf(const std::string& word);
};
