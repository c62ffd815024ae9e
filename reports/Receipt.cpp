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

std::string paidWord(const std::string& method) {
    return method == "cash"   ? "Paid in cash"
           : method == "card" ? "Paid by card"
                              : "Paid by other means";
}

// The discounts and the service charge between the items and the total; an
// equal part shows the bill's total and its part.
void addAdjustments(const SaleFigures& sale, std::vector<Line>& lines) {
    for (const Discount& discount : sale.discounts) {
        lines.push_back({"Discount" +
                             (discount.percent != 0 ? " " + vatRateText(discount.percent) + " %"
                                                    : std::string()) +
                             ": " + discount.reason,
                         ""});
    }
    if (sale.discount != Money()) {
        lines.push_back({"Discounts", (-sale.discount).twoDecimals()});
    }
    if (sale.charge != Money()) {
        lines.push_back({"Service charge", sale.charge.twoDecimals()});
    }
    if (sale.parts > 0) {
        lines.push_back(
            {"Part " + std::to_string(sale.part) + " of " + std::to_string(sale.parts), ""});
    }
}

// How the sale was paid, when the till recorded it: each tender, the cash
// given and the change, and the tip.
void addTenders(const SaleFigures& sale, std::vector<Line>& lines) {
    for (std::size_t at = 0; at < sale.tenders.size(); ++at) {
        const Tender& tender = sale.tenders[at];
        if (tender.method.empty()) {
            continue;
        }
        const bool last = at + 1 == sale.tenders.size();
        const Money tip = last ? sale.tip : Money();
        lines.push_back(
            {paidWord(tender.method), tender.given.value_or(tender.amount + tip).twoDecimals()});
    }
    if (sale.tip != Money()) {
        lines.push_back({"Tip", sale.tip.twoDecimals()});
    }
    if (sale.given || (!sale.tenders.empty() && sale.change != Money())) {
        lines.push_back({"Change", sale.change.twoDecimals()});
    }
}

// The items, their total, the VAT each rate above zero takes, and how the
// sale was paid, when the till recorded it.
std::vector<Line> linesOf(const SaleFigures& sale) {
    std::vector<Line> lines;
    for (const SoldItem& item : sale.items) {
        lines.push_back({item.note.empty() ? item.name : item.name + " (" + item.note + ")",
                         item.price.twoDecimals()});
    }
    addAdjustments(sale, lines);
    lines.push_back({"Total", sale.total.twoDecimals()});
    for (const VatFigure& rate : sale.vat) {
        if (rate.rate > 0) {
            lines.push_back({"VAT " + vatRateText(rate.rate) + " %", rate.vat.twoDecimals()});
        }
    }
    addTenders(sale, lines);
    return lines;
}

}  // namespace

Receipt::Receipt(Settings settings) : settings(std::move(settings)) {}

void Receipt::print(const SaleFigures& sale, std::ostream& out) const {
    const std::vector<Line> lines = linesOf(sale);
    std::size_t labelWidth = 0;
    std::size_t amountWidth = 0;
    for (const Line& line : lines) {
        if (line.amount.empty()) {
            continue;
        }
        labelWidth = std::max(labelWidth, displayWidth(line.label));
        amountWidth = std::max(amountWidth, line.amount.size());
    }
    printHeader(sale, out);
    for (const Line& line : lines) {
        if (line.amount.empty()) {
            out << "  " << line.label << '\n';
            continue;
        }
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
