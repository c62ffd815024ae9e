#include "reports/Summary.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "base/Vat.h"
#include "reports/TextColumns.h"

namespace {

// Eighths of a block, so a bar shows its length to an eighth of a column.
std::string bar(Money amount, Money busiest, std::size_t longest) {
    static const char* const eighths[] = {"",       "\u258f", "\u258e", "\u258d",
                                          "\u258c", "\u258b", "\u258a", "\u2589"};
    const std::int64_t most = static_cast<std::int64_t>(longest) * 8;
    const std::int64_t units =
        busiest.cents() == 0
            ? 0
            : (amount.cents() * most * 2 + busiest.cents()) / (busiest.cents() * 2);
    std::string drawn;
    for (std::int64_t full = 0; full < units / 8; ++full) {
        drawn += "\u2588";
    }
    return drawn + eighths[units % 8];
}

// Labels each hour by the local clock, with its date when the chart spans
// more than one; where the clock goes back and an hour comes twice, both
// take their zone's name so that they differ.
std::vector<std::string> hourLabels(const std::vector<Moment>& hours) {
    const bool dated = localTime(hours.front(), "%F") != localTime(hours.back(), "%F");
    const char* const format = dated ? "%m-%d %H:%M" : "%H:%M";
    std::vector<std::string> labels;
    std::map<std::string, std::size_t> seen;
    for (Moment hour : hours) {
        labels.push_back(localTime(hour, format));
        ++seen[labels.back()];
    }
    for (std::size_t at = 0; at < hours.size(); ++at) {
        if (seen[labels[at]] > 1) {
            labels[at] += localTime(hours[at], " %Z");
        }
    }
    return labels;
}

using Cells = TextColumns::Cells;

// The payment methods as the summary names them.
const char* methodWord(PaymentMethod method) {
    switch (method) {
        case PaymentMethod::cash:
            return "Cash";
        case PaymentMethod::card:
            return "Card";
        case PaymentMethod::other:
            return "Other";
        case PaymentMethod::unrecorded:
            return "Not recorded";
    }
    return "";
}

}  // namespace

Summary::Summary(const DayFigures& figures, std::string currency)
    : figures(figures), currency(std::move(currency)) {}

std::string Summary::amount(Money money) const { return money.twoDecimals() + " " + currency; }

void Summary::print(std::ostream& out) const {
    out << "Summary of day " << figures.day << ", opened "
        << localTime(figures.openedAt, "%Y-%m-%d %H:%M") << ", "
        << (figures.closedAt ? "closed " + localTime(*figures.closedAt, "%Y-%m-%d %H:%M")
                             : std::string("still open"))
        << (figures.z ? ", Z " + std::to_string(*figures.z) : std::string()) << '\n';
    printCounts(out);
    if (figures.customers == 0) {
        out << "\nNo customer has paid yet.\n";
    } else {
        out << '\n';
        printTable(out);
        out << '\n';
        printHours(out);
        printPayments(out);
        printVat(out);
        printStaff(out);
    }
    printVoids(out);
    printKitchen(out);
    out << std::flush;
}

void Summary::printCounts(std::ostream& out) const {
    const std::size_t width = 22;
    out << padRight("Customers served", width) << figures.customers << '\n';
    out << padRight("Items sold", width) << figures.itemsSold << '\n';
    out << padRight("Items removed", width) << figures.itemsRemoved << " (worth "
        << amount(figures.removedValue) << ")\n";
    out << padRight("Average per customer", width) << amount(figures.average) << '\n';
}

void Summary::printTable(std::ostream& out) const {
    std::vector<Cells> lines;
    lines.push_back({"Kind", "Item", "Count", "Revenue", "Cost with surcharge", "Profit"});
    for (const ItemRow& row : figures.rows) {
        lines.push_back({std::string(kindWord(row.kind)), row.name, std::to_string(row.count),
                         row.revenue.twoDecimals(), row.cost.twoDecimals(),
                         row.profit.twoDecimals()});
    }
    // The discounts and service charges are revenue, and profit, of no item.
    if (figures.discounts != Money()) {
        const std::string off = (-figures.discounts).twoDecimals();
        lines.push_back({"Discounts", "", "", off, "", off});
    }
    if (figures.charges != Money()) {
        const std::string added = figures.charges.twoDecimals();
        lines.push_back({"Service charge", "", "", added, "", added});
    }
    lines.push_back({"Total", "", std::to_string(figures.itemsSold), figures.revenue.twoDecimals(),
                     figures.cost.twoDecimals(), figures.profit.twoDecimals()});
    TextColumns::print(out, lines, 2);
}

// Sales before the till kept payment methods have none, and a day of them
// alone shows no payments.
void Summary::printPayments(std::ostream& out) const {
    if (!figures.methodsRecorded) {
        return;
    }
    std::vector<Cells> lines{{"Payments", "Sales", "Amount"}};
    for (const MethodFigure& method : figures.payments) {
        lines.push_back(
            {methodWord(method.method), std::to_string(method.sales), amount(method.amount)});
    }
    out << '\n';
    TextColumns::print(out, lines, 1);
    printMoneyLines(out);
}

// Each line shows once the day used what it counts, so that a day without
// discounts, charges, tips or a drawer reads as it always did.
void Summary::printMoneyLines(std::ostream& out) const {
    const auto line = [&](const char* label, Money money) {
        out << label << ": " << amount(money) << '\n';
    };
    if (figures.discounts != Money()) {
        line("Discounts", figures.discounts);
    }
    if (figures.charges != Money()) {
        line("Service charge", figures.charges);
    }
    if (figures.tips != Money()) {
        line("Tips", figures.tips);
    }
    line("Cash expected in the drawer", figures.cashExpected);
    if (figures.counted) {
        line("Cash counted", *figures.counted);
        const Money over = *figures.counted - figures.cashExpected;
        if (over != Money()) {
            line(over > Money() ? "Over" : "Short", over > Money() ? over : -over);
        }
    }
}

// Shown once some item sold carries VAT: each rate's sales and the VAT they
// contain, summed from every receipt's own rounding.
void Summary::printVat(std::ostream& out) const {
    if (figures.vat.empty() || figures.vat.back().rate == 0) {
        return;
    }
    std::vector<Cells> lines{{"VAT rate", "Sales", "VAT"}};
    Money gross;
    for (const VatFigure& rate : figures.vat) {
        lines.push_back({vatRateText(rate.rate) + " %", amount(rate.gross), amount(rate.vat)});
        gross += rate.gross;
    }
    lines.push_back({"Total", amount(gross), amount(figures.vatTotal)});
    out << '\n';
    TextColumns::print(out, lines, 1);
}

// Shown once someone took a payment at the web till: the payments each
// member of staff took, their revenue and the tips.
void Summary::printStaff(std::ostream& out) const {
    if (figures.staff.empty() || (figures.staff.size() == 1 && figures.staff[0].name.empty())) {
        return;
    }
    std::vector<Cells> lines{{"Staff", "Payments", "Revenue", "Tips"}};
    for (const StaffFigure& member : figures.staff) {
        lines.push_back({member.name.empty() ? "At the console" : member.name,
                         std::to_string(member.payments), amount(member.revenue),
                         amount(member.tips)});
    }
    out << '\n';
    TextColumns::print(out, lines, 1);
}

// Shown once a station made an item ready: the average time from send to
// ready, in minutes and seconds.
void Summary::printKitchen(std::ostream& out) const {
    if (figures.kitchen.empty()) {
        return;
    }
    std::vector<Cells> lines{{"Station", "Ready", "Send to ready"}};
    for (const StationFigure& station : figures.kitchen) {
        const std::int64_t seconds = station.averageSeconds;
        lines.push_back({station.station, std::to_string(station.ready),
                         std::to_string(seconds / 60) + " min " + (seconds % 60 < 10 ? "0" : "") +
                             std::to_string(seconds % 60) + " s"});
    }
    out << '\n';
    TextColumns::print(out, lines, 1);
}

void Summary::printVoids(std::ostream& out) const {
    bool first = true;
    for (const SaleFigures& sale : figures.sales) {
        if (!sale.voidedAt) {
            continue;
        }
        if (first) {
            out << "\nVoid sales\n";
            first = false;
        }
        out << "Customer " << sale.customer << ", " << amount(sale.total) << ", paid "
            << localTime(sale.paidAt, "%H:%M") << ", void at " << localTime(*sale.voidedAt, "%H:%M")
            << ": " << sale.reason << '\n';
    }
}

void Summary::printHours(std::ostream& out) const {
    Money busiest;
    std::size_t amountWidth = 0;
    std::vector<Moment> hours;
    for (const HourFigure& hour : figures.hours) {
        busiest = std::max(busiest, hour.revenue);
        amountWidth = std::max(amountWidth, hour.revenue.twoDecimals().size());
        hours.push_back(hour.hour);
    }
    const std::vector<std::string> labels = hourLabels(hours);
    std::size_t labelWidth = 0;
    for (const std::string& label : labels) {
        labelWidth = std::max(labelWidth, displayWidth(label));
    }
    constexpr std::size_t longest = 30;
    out << "Revenue by hour\n";
    for (std::size_t at = 0; at < figures.hours.size(); ++at) {
        const Money revenue = figures.hours[at].revenue;
        out << padRight(labels[at], labelWidth) << "  "
            << padRight(bar(revenue, busiest, longest), longest) << "  "
            << padLeft(revenue.twoDecimals(), amountWidth) << " " << currency << '\n';
    }
}
