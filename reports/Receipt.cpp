#include "reports/Receipt.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/LocalTime.h"
#include "base/Text.h"
#include "base/Vat.h"

namespace {

// One line under the heading: a label and an amount.
struct Line {
    std::string label;
    std::string amount;
};

const char* const when = "%Y-%m-%d %H:%M:%S";

// The items, their total, the VAT each rate above zero takes, and how the
// sale was paid, when the till recorded it.
std::vector<Line> linesOf(const SaleFigures& sale) {
    std::vector<Line> lines;
    for (const SoldItem& item : sale.items) {
        lines.push_back({item.note.empty() ? item.name : item.name + " (" + item.note + ")",
                         item.price.twoDecimals()});
    }
    lines.push_back({"Total", sale.total.twoDecimals()});
    for (const VatFigure& rate : sale.vat) {
        if (rate.rate > 0) {
            lines.push_back({"VAT " + vatRateText(rate.rate) + " %", rate.vat.twoDecimals()});
        }
    }
    if (sale.method == "cash") {
        lines.push_back({"Paid in cash", sale.given.value_or(sale.total).twoDecimals()});
        if (sale.given) {
            lines.push_back({"Change", sale.change.twoDecimals()});
        }
    } else if (!sale.method.empty()) {
        lines.push_back({sale.method == "card" ? "Paid by card" : "Paid by other means",
                         sale.total.twoDecimals()});
    }
    return lines;
}

}  // namespace

Receipt::Receipt(Settings settings) : settings(std::move(settings)) {}

void Receipt::print(const SaleFigures& sale, std::ostream& out) const {
    const std::vector<Line> lines = linesOf(sale);
    std::size_t labelWidth = 0;
    std::size_t amountWidth = 0;
    for (const Line& line : lines) {
        labelWidth = std::max(labelWidth, displayWidth(line.label));
        amountWidth = std::max(amountWidth, line.amount.size());
    }
    printHeader(sale, out);
    for (const Line& line : lines) {
        out << "  " << padRight(line.label, labelWidth) << "  " << padLeft(line.amount, amountWidth)
            << " " << settings.currency() << '\n';
    }
    out << std::flush;
}

void Receipt::printHeader(const SaleFigures& sale, std::ostream& out) const {
    for (const char* key : {"name", "address"}) {
        if (!settings.get(key).empty()) {
            out << settings.get(key) << '\n';
        }
    }
    if (!settings.get("vat-number").empty()) {
        out << "VAT number " << settings.get("vat-number") << '\n';
    }
    out << "Receipt: day " << sale.day << ", customer " << sale.customer << '\n'
        << "Sale " << sale.saleId << (sale.table.empty() ? "" : ", table " + sale.table)
        << ", paid " << localTime(sale.paidAt, when) << '\n';
    if (sale.voidedAt) {
        out << "VOID " << localTime(*sale.voidedAt, when) << ": " << sale.reason << '\n';
    }
}
