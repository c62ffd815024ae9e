#include "reports/GroupReport.h"

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "csv/CsvWriter.h"
#include "reports/TextColumns.h"

namespace {

TextColumns::Cells cellsOf(const GroupDay& day) {
    return {day.site,
            day.date,
            std::to_string(day.customers),
            day.revenue.twoDecimals(),
            day.vat.twoDecimals(),
            day.cash.twoDecimals(),
            day.card.twoDecimals(),
            day.other.twoDecimals()};
}

nlohmann::json jsonOf(const GroupDay& day) {
    return {{"site", day.site},
            {"date", day.date},
            {"customers", day.customers},
            {"revenue_cents", day.revenue.cents()},
            {"vat_cents", day.vat.cents()},
            {"cash_cents", day.cash.cents()},
            {"card_cents", day.card.cents()},
            {"other_cents", day.other.cents()}};
}

}  // namespace

GroupReport::GroupReport(const GroupFigures& figures) : figures(figures) {}

GroupDay GroupReport::total() const {
    GroupDay sum;
    sum.site = "Total";
    for (const GroupDay& day : figures.days) {
        sum.customers += day.customers;
        sum.revenue += day.revenue;
        sum.vat += day.vat;
        sum.cash += day.cash;
        sum.card += day.card;
        sum.other += day.other;
    }
    return sum;
}

void GroupReport::text(std::ostream& out) const {
    if (figures.days.empty()) {
        out << "The head office holds no day of this report's sites and dates." << std::endl;
        return;
    }
    std::set<std::string> sites;
    std::set<std::string> dates;
    for (const GroupDay& day : figures.days) {
        sites.insert(day.site);
        dates.insert(day.date);
    }
    out << "Group report: " << sites.size() << (sites.size() == 1 ? " site, " : " sites, ")
        << *dates.begin() << " to " << *dates.rbegin() << "\n\n";
    printDays(out);
    printSellers(out);
    out << std::flush;
}

void GroupReport::printDays(std::ostream& out) const {
    std::vector<TextColumns::Cells> lines{
        {"Site", "Date", "Customers", "Revenue", "VAT", "Cash", "Card", "Other"}};
    for (const GroupDay& day : figures.days) {
        lines.push_back(cellsOf(day));
    }
    lines.push_back(cellsOf(total()));
    TextColumns::print(out, lines, 2);
}

void GroupReport::printSellers(std::ostream& out) const {
    if (figures.bestSellers.empty()) {
        return;
    }
    out << "\nBest sellers across the sites\n";
    std::vector<TextColumns::Cells> lines{{"Kind", "Item", "Count", "Revenue"}};
    for (const GroupSeller& item : figures.bestSellers) {
        lines.push_back({std::string(kindWord(item.kind)), item.name, std::to_string(item.count),
                         item.revenue.twoDecimals()});
    }
    TextColumns::print(out, lines, 2);
}

void GroupReport::csv(std::ostream& out) const {
    CsvWriter writer(out, ',', "\n");
    for (const char* const column :
         {"site", "date", "customers", "revenue", "vat", "cash", "card", "other"}) {
        writer.text(column);
    }
    writer.endRow();
    for (const GroupDay& day : figures.days) {
        writer.text(day.site).text(day.date).number(day.customers);
        for (const Money amount : {day.revenue, day.vat, day.cash, day.card, day.other}) {
            writer.text(amount.shortest());
        }
        writer.endRow();
    }
    out << std::flush;
}

void GroupReport::json(std::ostream& out) const {
    nlohmann::json days = nlohmann::json::array();
    for (const GroupDay& day : figures.days) {
        days.push_back(jsonOf(day));
    }
    nlohmann::json sellers = nlohmann::json::array();
    for (const GroupSeller& item : figures.bestSellers) {
        sellers.push_back({{"kind", kindWord(item.kind)},
                           {"name", item.name},
                           {"count", item.count},
                           {"revenue_cents", item.revenue.cents()}});
    }
    nlohmann::json total = jsonOf(this->total());
    total.erase("site");
    total.erase("date");
    out << nlohmann::json{{"days", days}, {"total", total}, {"best_sellers", sellers}}.dump(2)
        << std::endl;
}
