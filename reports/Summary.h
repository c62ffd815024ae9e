#pragma once

#include <ostream>

#include "base/Money.h"
#include "journal/DayRecord.h"
#include "reports/DayLedger.h"

// Summary is a day's close-of-day summary, as the owner reads it: customers
// served, items sold, items removed and their value, the average per
// customer; a table of the items sold with their revenue, cost (surcharge
// included) and profit, whose total row equals the day's report to the cent;
// and the revenue by hour as a bar chart. Amounts have two decimals.
class Summary {
public:
    // The record must outlive the summary.
    explicit Summary(const DayRecord& record);

    void print(std::ostream& out) const;

private:
    void printTable(std::ostream& out) const;
    void printHours(std::ostream& out) const;

    const DayRecord& record;
    DayLedger ledger;
};
