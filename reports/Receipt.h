#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "journal/DayRecord.h"
#include "journal/Settings.h"

// Receipt is what a paid customer gets on paper: the restaurant's name,
// address and VAT number as its settings give them, the sale's id and time,
// each item with its price, in the order the cart holds them, the total, the
// VAT it contains per rate and how it was paid. A void sale's receipt says
// so at its top.
class Receipt {
public:
    // The record must outlive the receipt.
    Receipt(const DayRecord& record, Settings settings = {});

    // Prints the receipt of that customer; returns false, printing nothing,
    // when the customer has not paid in this day.
    bool print(std::int32_t customer, std::ostream& out) const;

private:
    void printHeader(const PaidCustomer& paid, std::ostream& out) const;

    const DayRecord& record;
    Settings settings;
};
