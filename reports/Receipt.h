#pragma once

#include <cstdint>
#include <ostream>

#include "journal/DayRecord.h"

// Receipt is what a paid customer gets on paper: the sale's id and time,
// each item with its price, in the order the cart holds them, and the total
// the customer paid, with two decimals.
class Receipt {
public:
    // The record must outlive the receipt.
    explicit Receipt(const DayRecord& record);

    // Prints the receipt of that customer; returns false, printing nothing,
    // when the customer has not paid in this day.
    bool print(std::int32_t customer, std::ostream& out) const;

private:
    const DayRecord& record;
};
