#pragma once

#include <ostream>
#include <string>

#include "base/Money.h"
#include "service/DayFigures.h"

// Summary is a day's close-of-day summary, as the owner reads it: customers
// served, items sold, items removed and their value, the average per
// customer; a table of the items sold with their revenue, cost (surcharge
// included) and profit, whose total row equals the day's report to the cent;
// the revenue by hour as a bar chart; then, to close the drawer, the sales
// per payment method and the cash that should be in the drawer, the VAT
// collected per rate, the revenue rung up by each member of staff, and the
// sales made void with their reasons. It renders the day's figures and
// computes none. Amounts have two decimals and the currency's symbol.
class Summary {
public:
    // The figures must outlive the summary.
    explicit Summary(const DayFigures& figures, std::string currency = "$");

    void print(std::ostream& out) const;

private:
    void printCounts(std::ostream& out) const;
    void printTable(std::ostream& out) const;
    void printHours(std::ostream& out) const;
    void printPayments(std::ostream& out) const;
    void printMoneyLines(std::ostream& out) const;
    void printVat(std::ostream& out) const;
    void printStaff(std::ostream& out) const;
    void printKitchen(std::ostream& out) const;
    void printVoids(std::ostream& out) const;
    std::string amount(Money money) const;

    const DayFigures& figures;
    std::string currency;
};
