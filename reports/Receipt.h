#pragma once

#include <ostream>

#include "journal/Settings.h"
#include "service/SaleFigures.h"

// Receipt is what a paid customer gets on paper: the restaurant's name,
// address and VAT number as its settings give them, the sale's id and time,
// each item with its price, in the order the cart holds them, the total, the
// VAT it contains per rate and how it was paid. A void sale's receipt says
// so at its top.
class Receipt {
public:
    explicit Receipt(Settings settings = {});

    void print(const SaleFigures& sale, std::ostream& out) const;

private:
    void printHeader(const SaleFigures& sale, std::ostream& out) const;

    Settings settings;
};
