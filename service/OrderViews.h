#pragma once

#include <string>
#include <vector>

#include "journal/DayReplay.h"
#include "service/Results.h"

// OrderViews shows the open orders of a day as the service hands them out:
// each item with its id, by kind in the order they came, and the total.
class OrderViews {
public:
    static OrderView of(const DayReplay& day, const OpenOrder& order);
    // Returns the order of that label, empty and under that label when it
    // is not open.
    static OrderView named(const DayReplay& day, const std::string& label);
    // Returns the open orders: the counter's first, then the tables' in the
    // order they opened.
    static std::vector<OrderView> all(const DayReplay& day);
};
