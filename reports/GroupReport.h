#pragma once

#include <ostream>

#include "journal/GroupFigures.h"

// GroupReport renders the group's figures as the head office reads them:
// revenue, customers, VAT and payments per site and day with their totals,
// and the best sellers across the sites; as text for a person, CSV for a
// spreadsheet, or JSON for a program.
class GroupReport {
public:
    explicit GroupReport(const GroupFigures& figures);

    void text(std::ostream& out) const;
    // The header site,date,customers,revenue,vat,cash,card,other, then one
    // row per site and day, amounts as the report lines write them.
    void csv(std::ostream& out) const;
    // Amounts in whole cents, as the web till's API gives them.
    void json(std::ostream& out) const;

private:
    // The sum of every row, under the site "Total".
    GroupDay total() const;
    void printDays(std::ostream& out) const;
    void printSellers(std::ostream& out) const;

    const GroupFigures& figures;
};
