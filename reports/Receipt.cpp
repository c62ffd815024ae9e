#include "reports/Receipt.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "base/Vat.h"
#include "reports/DayLedger.h"

namespace {

// One line under the heading: a label and an amount.
struct Line {
    std::string label;
    std::string amount;
};

const char* const when = "%Y-%m-%d %H:%M:%S";

// The items, their total, the VAT each rate above zero takes, and how the
// sale was paid, when the till recorded it.
std::vector<Line> linesOf(const DayLedger& ledger, const PaidCustomer& paid) {
    std::vector<Line> lines;
    for (const JournalItem* item : ledger.itemsOf(paid.number)) {
        lines.push_back({item->name, item->price.twoDecimals()});
    }
    const Money total = ledger.totalOf(paid.number);
    lines.push_back({"Total", total.twoDecimals()});
    for (const auto& [rate, sold] : ledger.vatOf(paid.number)) {
        if (rate > 0) {
            lines.push_back({"VAT " + vatRateText(rate) + " %", sold.vat.twoDecimals()});
        }
    }
    if (paid.method == "cash") {
        lines.push_back({"Paid in cash", paid.given.value_or(total).twoDecimals()});
        if (paid.given) {
            lines.push_back({"Change", (*paid.given - total).twoDecimals()});
        }
    } else if (!paid.method.empty()) {
        lines.push_back(
            {paid.method == "card" ? "Paid by card" : "Paid by other means", total.twoDecimals()});
    }
    return lines;
}

}  // namespace

Receipt::Receipt(const DayRecord& record, Settings settings)
    : record(record), settings(std::move(settings)) {}

bool Receipt::print(std::int32_t customer, std::ostream& out) const {
    const auto paid = std::find_if(record.customers.begin(), record.customers.end(),
                                   [&](const PaidCustomer& at) { return at.number == customer; });
    if (paid == record.customers.end()) {
        return false;
    }
    const std::vector<Line> lines = linesOf(DayLedger(record), *paid);
    std::size_t labelWidth = 0;
    std::size_t amountWidth = 0;
    for (const Line& line : lines) {
        labelWidth = std::max(labelWidth, displayWidth(line.label));
        amountWidth = std::max(amountWidth, line.amount.size());
    }
    printHeader(*paid, out);
    for (const Line& line : lines) {
        out << "  " << padRight(line.label, labelWidth) << "  " << padLeft(line.amount, amountWidth)
            << " " << settings.currency() << '\n';
    }
    out << std::flush;
    return true;
}

void Receipt::printHeader(const PaidCustomer& paid, std::ostream& out) const {
    for (const char* key : {"name", "address"}) {
        if (!settings.get(key).empty()) {
            out << settings.get(key) << '\n';
        }
    }
    if (!settings.get("vat-number").empty()) {
        out << "VAT number " << settings.get("vat-number") << '\n';
    }
    out << "Receipt: day " << record.number << ", customer " << paid.number << '\n'
        << "Sale " << paid.saleId << (paid.table.empty() ? "" : ", table " + paid.table)
        << ", paid " << localTime(paid.paidAt, when) << '\n';
    if (paid.voidedAt) {
        out << "VOID " << localTime(*paid.voidedAt, when) << ": " << paid.reason << '\n';
    }
}
