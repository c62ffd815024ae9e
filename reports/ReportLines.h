#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include "base/Money.h"

// ReportLines prints the day's report as the till closes the day: three
// lines, the cost, the revenue and the profit, in the library's words, each
// amount in its shortest exact form (30, 29.5, 12349.53), never in exponent
// form, so that no amount loses a cent.
class ReportLines {
public:
    static void print(Money cost, Money revenue, Money profit, std::ostream& out);
    // Prints the close's Z number on a line of its own after the three,
    // for closes that have one.
    static void printZ(std::optional<std::int64_t> z, std::ostream& out);
};
