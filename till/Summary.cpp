#include "till/Summary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "accounts/Cart.h"
#include "till/DayLedger.h"
#include "till/Format.h"

namespace {

// One row of the table: every sold item of one kind and name.
struct Row {
    ItemKind kind;
    std::string name;
    std::size_t count = 0;
    double revenue = 0.0;
    double cost = 0.0;
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
            rows.try_emplace({item.kind, item.name}, Row{item.kind, item.name}).first->second;
        ++row.count;
        row.revenue += item.price;
        row.cost += DayLedger::totalCostOf(item);
    }
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (auto& entry : rows) {
        sorted.push_back(std::move(entry.second));
    }
    std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) {
        return std::make_tuple(a.kind, -a.revenue, a.name) <
               std::make_tuple(b.kind, -b.revenue, b.name);
    });
    return sorted;
}

// Eighths of a block, so a bar shows its length to an eighth of a column.
std::string bar(double share, std::size_t longest) {
    static const char* const eighths[] = {"",       "\u258f", "\u258e", "\u258d",
                                          "\u258c", "\u258b", "\u258a", "\u2589"};
    const auto units =
        static_cast<std::size_t>(std::lround(share * static_cast<double>(longest * 8)));
    std::string drawn;
    for (std::size_t full = 0; full < units / 8; ++full) {
        drawn += "\u2588";
    }
    return drawn + eighths[units % 8];
}

}  // namespace

Summary::Summary(const DayRecord& record) : record(record), ledger(record) {}

void Summary::print(std::ostream& out) const {
    std::size_t sold = 0;
    std::size_t removed = 0;
    double removedValue = 0.0;
    const std::unordered_set<std::int32_t> paid = paidNumbers(record);
    for (const JournalItem& item : record.items) {
        if (item.removedAt) {
            ++removed;
            removedValue += item.price;
        } else if (paid.count(item.customer) != 0) {
            ++sold;
        }
    }
    const std::size_t customers = record.customers.size();
    const double revenue = ledger.paidCustomers().getTotalPrice();

    out << "Summary of day " << record.number << ", opened "
        << localTime(record.openedAt, "%Y-%m-%d %H:%M") << ", "
        << (record.closedAt ? "closed " + localTime(*record.closedAt, "%Y-%m-%d %H:%M")
                            : std::string("still open"))
        << '\n';
    const std::size_t width = 22;
    out << padRight("Customers served", width) << customers << '\n';
    out << padRight("Items sold", width) << sold << '\n';
    out << padRight("Items removed", width) << removed << " (worth " << twoDecimals(removedValue)
        << " $)\n";
    out << padRight("Average per customer", width)
        << twoDecimals(customers == 0 ? 0.0 : revenue / static_cast<double>(customers)) << " $\n";
    if (customers == 0) {
        out << "\nNo customer has paid yet." << std::endl;
        return;
    }
    out << '\n';
    printTable(out);
    out << '\n';
    printHours(out);
    out << std::flush;
}

void Summary::printTable(std::ostream& out) const {
    const std::vector<Row> rows = rowsOf(record);
    Usercollection paid = ledger.paidCustomers();
    std::size_t sold = 0;
    for (const Row& row : rows) {
        sold += row.count;
    }
    // Columns: kind, item, count, revenue, cost, profit.
    std::vector<std::array<std::string, 6>> lines;
    lines.push_back({"Kind", "Item", "Count", "Revenue", "Cost", "Profit"});
    for (const Row& row : rows) {
        lines.push_back({std::string(kindWord(row.kind)), row.name, std::to_string(row.count),
                         twoDecimals(row.revenue), twoDecimals(row.cost),
                         twoDecimals(row.revenue - row.cost)});
    }
    // The total row is the report's own totals, so the two agree to the cent.
    lines.push_back({"Total", "", std::to_string(sold), twoDecimals(paid.getTotalPrice()),
                     twoDecimals(paid.getTotalCost()), twoDecimals(paid.getTotalProfit())});
    std::array<std::size_t, 6> widths{};
    for (const auto& line : lines) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], displayWidth(line[column]));
        }
    }
    for (const auto& line : lines) {
        std::string text = padRight(line[0], widths[0]) + "  " + padRight(line[1], widths[1]);
        for (std::size_t column = 2; column < widths.size(); ++column) {
            text += "  " + padLeft(line[column], widths[column]);
        }
        out << text << '\n';
    }
}

void Summary::printHours(std::ostream& out) const {
    std::map<Moment, double> byHour;  // keyed by the moment the hour starts
    for (const PaidCustomer& customer : record.customers) {
        const Moment hour = startOfLocalHour(customer.paidAt);
        byHour[hour] += ledger.cartOf(customer.number).getTotalPrice();
    }
    // Hours without a sale stay in the chart, as gaps, within one day's span.
    const Moment first = byHour.begin()->first;
    const Moment last = byHour.rbegin()->first;
    if ((last - first) / 3600 < 24) {
        for (Moment hour = first; hour < last; hour += 3600) {
            byHour.try_emplace(hour, 0.0);
        }
    }
    double busiest = 0.0;
    std::size_t amountWidth = 0;
    for (const auto& [hour, revenue] : byHour) {
        busiest = std::max(busiest, revenue);
        amountWidth = std::max(amountWidth, twoDecimals(revenue).size());
    }
    constexpr std::size_t longest = 30;
    out << "Revenue by hour\n";
    for (const auto& [hour, revenue] : byHour) {
        out << localTime(hour, "%H:00") << "  "
            << padRight(bar(busiest > 0.0 ? revenue / busiest : 0.0, longest), longest) << "  "
            << padLeft(twoDecimals(revenue), amountWidth) << " $\n";
    }
}
