#include "reports/Summary.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "base/Vat.h"

namespace {

// One row of the table: every sold item of one kind and name.
struct Row {
    ItemKind kind;
    std::string name;
    std::size_t count = 0;
    Money revenue;
    Money cost;
};

std::unordered_set<std::int32_t> paidNumbers(const DayRecord& record) {
    std::unordered_set<std::int32_t> paid;
    for (const PaidCustomer& customer : record.customers) {
        paid.insert(customer.number);
    }
    return paid;
}

// Rows of the same kind by revenue, the highest first; then by name.
std::vector<Row> rowsOf(const DayRecord& record) {
    const std::unordered_set<std::int32_t> paid = paidNumbers(record);
    std::map<std::pair<ItemKind, std::string>, Row> rows;
    for (const JournalItem& item : record.items) {
        if (item.removedAt || paid.count(item.customer) == 0) {
            continue;
        }
        Row& row =
            rows.try_emplace({item.kind, item.name}, Row{item.kind, item.name, 0, Money(), Money()})
                .first->second;
        ++row.count;
        row.revenue += item.price;
        row.cost += DayLedger::costWithSurcharge(item);
    }
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (auto& entry : rows) {
        sorted.push_back(std::move(entry.second));
    }
    std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) {
        return std::make_tuple(a.kind, -a.revenue.cents(), a.name) <
               std::make_tuple(b.kind, -b.revenue.cents(), b.name);
    });
    return sorted;
}

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

using Cells = std::vector<std::string>;

// Prints rows of cells in columns two spaces apart: the first `left` columns
// aligned left, the others right, as numbers are.
void printColumns(std::ostream& out, const std::vector<Cells>& lines, std::size_t left) {
    std::vector<std::size_t> widths(lines.front().size());
    for (const Cells& line : lines) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], displayWidth(line[column]));
        }
    }
    for (const Cells& line : lines) {
        std::string text;
        for (std::size_t column = 0; column < widths.size(); ++column) {
            text +=
                (column == 0 ? "" : "  ") + (column < left ? padRight(line[column], widths[column])
                                                           : padLeft(line[column], widths[column]));
        }
        out << text << '\n';
    }
}

// The payment methods in the order the summary lists them.
const char* const methodWords[] = {"Cash", "Card", "Other", "Not recorded"};
constexpr std::size_t unrecorded = 3;

std::size_t methodPlace(const std::string& method) {
    return method == "cash" ? 0 : method == "card" ? 1 : method == "other" ? 2 : unrecorded;
}

}  // namespace

Summary::Summary(const DayRecord& record, std::string currency)
    : record(record),
      standing(DayLedger::standing(record)),
      ledger(standing),
      currency(std::move(currency)) {}

std::string Summary::amount(Money money) const { return money.twoDecimals() + " " + currency; }

void Summary::print(std::ostream& out) const {
    out << "Summary of day " << record.number << ", opened "
        << localTime(record.openedAt, "%Y-%m-%d %H:%M") << ", "
        << (record.closedAt ? "closed " + localTime(*record.closedAt, "%Y-%m-%d %H:%M")
                            : std::string("still open"))
        << '\n';
    printCounts(out);
    if (standing.customers.empty()) {
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
    out << std::flush;
}

void Summary::printCounts(std::ostream& out) const {
    std::size_t sold = 0;
    std::size_t removed = 0;
    Money removedValue;
    Money revenue;
    const std::unordered_set<std::int32_t> paid = paidNumbers(standing);
    for (const JournalItem& item : standing.items) {
        if (item.removedAt) {
            ++removed;
            removedValue += item.price;
        } else if (paid.count(item.customer) != 0) {
            ++sold;
            revenue += item.price;
        }
    }
    const std::size_t customers = standing.customers.size();
    const std::size_t width = 22;
    out << padRight("Customers served", width) << customers << '\n';
    out << padRight("Items sold", width) << sold << '\n';
    out << padRight("Items removed", width) << removed << " (worth " << amount(removedValue)
        << ")\n";
    out << padRight("Average per customer", width)
        << amount(customers == 0 ? Money()
                                 : revenue.dividedBy(static_cast<std::int64_t>(customers)))
        << '\n';
}

void Summary::printTable(std::ostream& out) const {
    const std::vector<Row> rows = rowsOf(standing);
    Row total{ItemKind::dish, "Total", 0, Money(), Money()};
    std::vector<Cells> lines;
    lines.push_back({"Kind", "Item", "Count", "Revenue", "Cost with surcharge", "Profit"});
    for (const Row& row : rows) {
        lines.push_back({std::string(kindWord(row.kind)), row.name, std::to_string(row.count),
                         row.revenue.twoDecimals(), row.cost.twoDecimals(),
                         (row.revenue - row.cost).twoDecimals()});
        total.count += row.count;
        total.revenue += row.revenue;
        total.cost += row.cost;
    }
    lines.push_back({"Total", "", std::to_string(total.count), total.revenue.twoDecimals(),
                     total.cost.twoDecimals(), (total.revenue - total.cost).twoDecimals()});
    printColumns(out, lines, 2);
}

// Sales before the till kept payment methods have none, and a day of them
// alone shows no payments.
void Summary::printPayments(std::ostream& out) const {
    std::map<std::size_t, std::pair<std::size_t, Money>> byMethod;
    for (const PaidCustomer& customer : standing.customers) {
        auto& [count, paid] = byMethod[methodPlace(customer.method)];
        ++count;
        paid += ledger.totalOf(customer.number);
    }
    if (byMethod.empty() || (byMethod.size() == 1 && byMethod.begin()->first == unrecorded)) {
        return;
    }
    std::vector<Cells> lines{{"Payments", "Sales", "Amount"}};
    for (const auto& [place, sales] : byMethod) {
        lines.push_back({methodWords[place], std::to_string(sales.first), amount(sales.second)});
    }
    out << '\n';
    printColumns(out, lines, 1);
    const auto cash = byMethod.find(0);
    out << "Cash expected in the drawer: "
        << amount(cash == byMethod.end() ? Money() : cash->second.second) << '\n';
}

// Shown once some item sold carries VAT: each rate's sales and the VAT they
// contain, summed from every receipt's own rounding.
void Summary::printVat(std::ostream& out) const {
    std::map<std::int64_t, DayLedger::Vat> byRate;
    for (const PaidCustomer& customer : standing.customers) {
        for (const auto& [rate, sold] : ledger.vatOf(customer.number)) {
            byRate[rate].gross += sold.gross;
            byRate[rate].vat += sold.vat;
        }
    }
    if (byRate.empty() || byRate.rbegin()->first == 0) {
        return;
    }
    std::vector<Cells> lines{{"VAT rate", "Sales", "VAT"}};
    DayLedger::Vat total;
    for (const auto& [rate, sold] : byRate) {
        lines.push_back({vatRateText(rate) + " %", amount(sold.gross), amount(sold.vat)});
        total.gross += sold.gross;
        total.vat += sold.vat;
    }
    lines.push_back({"Total", amount(total.gross), amount(total.vat)});
    out << '\n';
    printColumns(out, lines, 1);
}

// Shown once someone rang items up at the web till: the revenue of the
// items each member of staff rang up.
void Summary::printStaff(std::ostream& out) const {
    std::map<std::string, std::pair<std::size_t, Money>> byStaff;
    for (const PaidCustomer& customer : standing.customers) {
        for (const JournalItem* item : ledger.itemsOf(customer.number)) {
            auto& [count, revenue] = byStaff[item->staff];
            ++count;
            revenue += item->price;
        }
    }
    if (byStaff.empty() || (byStaff.size() == 1 && byStaff.begin()->first.empty())) {
        return;
    }
    std::vector<Cells> lines{{"Staff", "Items", "Revenue"}};
    for (const auto& [name, sold] : byStaff) {
        lines.push_back({name.empty() ? "At the console" : name, std::to_string(sold.first),
                         amount(sold.second)});
    }
    out << '\n';
    printColumns(out, lines, 1);
}

void Summary::printVoids(std::ostream& out) const {
    const DayLedger all(record);
    bool first = true;
    for (const PaidCustomer& customer : record.customers) {
        if (!customer.voidedAt) {
            continue;
        }
        if (first) {
            out << "\nVoid sales\n";
            first = false;
        }
        out << "Customer " << customer.number << ", " << amount(all.totalOf(customer.number))
            << ", paid " << localTime(customer.paidAt, "%H:%M") << ", void at "
            << localTime(*customer.voidedAt, "%H:%M") << ": " << customer.reason << '\n';
    }
}

void Summary::printHours(std::ostream& out) const {
    std::map<Moment, Money> byHour;  // keyed by the moment the local hour starts
    for (const PaidCustomer& customer : standing.customers) {
        byHour[startOfLocalHour(customer.paidAt)] += ledger.totalOf(customer.number);
    }
    // Hours without a sale stay in the chart, as gaps, within one day's span.
    const Moment first = byHour.begin()->first;
    const Moment last = byHour.rbegin()->first;
    if (last - first < Moment{24} * 3600) {
        for (Moment hour = first; hour < last; hour = nextLocalHour(hour)) {
            byHour.try_emplace(hour, Money());
        }
    }
    Money busiest;
    std::size_t amountWidth = 0;
    std::vector<Moment> hours;
    for (const auto& [hour, revenue] : byHour) {
        busiest = std::max(busiest, revenue);
        amountWidth = std::max(amountWidth, revenue.twoDecimals().size());
        hours.push_back(hour);
    }
    const std::vector<std::string> labels = hourLabels(hours);
    std::size_t labelWidth = 0;
    for (const std::string& label : labels) {
        labelWidth = std::max(labelWidth, displayWidth(label));
    }
    constexpr std::size_t longest = 30;
    out << "Revenue by hour\n";
    std::size_t at = 0;
    for (const auto& [hour, revenue] : byHour) {
        out << padRight(labels[at++], labelWidth) << "  "
            << padRight(bar(revenue, busiest, longest), longest) << "  "
            << padLeft(revenue.twoDecimals(), amountWidth) << " " << currency << '\n';
    }
}
