#include "reports/ReadCommands.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/LocalTime.h"
#include "base/Money.h"
#include "base/Vat.h"
#include "csv/CsvWriter.h"
#include "journal/SigningKey.h"
#include "reports/Receipt.h"
#include "reports/ReportLines.h"
#include "reports/Summary.h"
#include "service/DayFigures.h"

namespace {

constexpr int unknown = 2;

// Returns the day asked for, or the last; says on std::cerr when there is
// no such day.
std::optional<DayRecord> dayAskedFor(Journal& journal, std::optional<std::int32_t> number) {
    if (!number) {
        const std::vector<DayLine> days = journal.days();
        if (days.empty()) {
            std::cerr
                << "restaurant: the journal holds no days yet: the till opens one when it starts"
                << std::endl;
            return std::nullopt;
        }
        number = days.back().number;
    }
    std::optional<DayRecord> record = journal.day(*number);
    if (!record) {
        std::cerr << "restaurant: day " << *number
                  << " is not in the journal: restaurant days lists the days it holds" << std::endl;
    }
    return record;
}

const char* const moment = "%Y-%m-%d %H:%M";

// A cell a spreadsheet would take for a formula is written as text.
std::string defused(const std::string& text) {
    const bool formula =
        !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
    return formula ? "'" + text : text;
}

}  // namespace

int listDays(Journal& journal, std::ostream& out) {
    const std::string currency = journal.settings().currency();
    for (const DayLine& day : journal.days()) {
        out << "Day " << day.number << ": opened " << localTime(day.openedAt, moment) << ", "
            << (day.closedAt ? "closed " + localTime(*day.closedAt, moment) : std::string("open"))
            << "; " << day.customers << " customer" << (day.customers == 1 ? "" : "s")
            << ", revenue " << day.revenue.twoDecimals() << " " << currency << '\n';
    }
    out << std::flush;
    return 0;
}

int reportDay(Journal& journal, std::optional<std::int32_t> day) {
    const std::optional<DayRecord> record = dayAskedFor(journal, day);
    if (!record) {
        return unknown;
    }
    const DayFigures figures = DayFigures::of(*record);
    ReportLines::print(figures.cost, figures.revenue, figures.profit, std::cout);
    ReportLines::printZ(figures.z, std::cout);
    return 0;
}

int summarizeDay(Journal& journal, std::optional<std::int32_t> day, std::ostream& out) {
    const std::optional<DayRecord> record = dayAskedFor(journal, day);
    if (!record) {
        return unknown;
    }
    Summary(DayFigures::of(*record), journal.settings().currency()).print(out);
    return 0;
}

int printReceipt(Journal& journal, std::int32_t day, std::int32_t customer, std::ostream& out) {
    const std::optional<DayRecord> record = dayAskedFor(journal, day);
    if (!record) {
        return unknown;
    }
    const DayFigures figures = DayFigures::of(*record);
    const SaleFigures* sale = figures.sale(customer);
    if (sale == nullptr) {
        std::cerr << "restaurant: customer " << customer << " did not pay in day " << day
                  << ": restaurant summary " << day << " counts the customers who did" << std::endl;
        return unknown;
    }
    Receipt(journal.settings()).print(*sale, out);
    return 0;
}

namespace {

// A signed day's export may end with its signed head, in a comment line
// that CSV readers can be told to skip: a copy of the export kept elsewhere
// then proves what the day held.
void printSignedHead(Journal& journal, std::int32_t day, std::ostream& out) {
    const std::optional<Journal::SignedHead> head = journal.signedHead(day);
    const std::optional<SigningKey::PublicKey> key =
        head ? SigningKey::keyOfHex(head->publicKey) : std::nullopt;
    if (!key) {
        return;
    }
    out << "# day " << head->day << " head " << head->entries << " " << head->head << " signed "
        << head->signature << " by " << head->publicKey << " (fingerprint "
        << SigningKey::fingerprintOf(*key) << ")\r\n";
}

// The VAT each item's row shows: at each rate, what the running sum of the
// rate's prices contains less what the sum before it did, so that a sale's
// rows add up to its receipt, which rounds once per rate.
std::vector<Money> vatOfEachItem(const SaleFigures& sale) {
    std::map<std::int64_t, Money> grossSoFar;
    std::vector<Money> vat;
    vat.reserve(sale.items.size());
    for (const SoldItem& item : sale.items) {
        Money& gross = grossSoFar[item.vat];
        const Money before = vatContained(gross, item.vat);
        gross = gross + item.price;
        vat.push_back(vatContained(gross, item.vat) - before);
    }
    return vat;
}

// The columns of a row that differ between items, adjustments and tenders.
struct RowCells {
    std::string cost;
    std::string totalCost;
    std::string vatRate;
    std::string vat;
    std::string method;
    std::string staff;
};

// One row of the export: what every row of a sale shares, and its own.
struct ExportRow {
    const SaleFigures& sale;
    const std::string& z;

    void write(CsvWriter& csv, const std::string& kind, const std::string& name, Money price,
               const RowCells& cells) const {
        csv.number(static_cast<long long>(sale.day))
            .number(static_cast<long long>(sale.customer))
            .text(sale.saleId)
            .text(isoTime(sale.paidAt))
            .text(kind)
            .text(name)
            .text(price.twoDecimals())
            .text(cells.cost)
            .text(cells.totalCost)
            .text(sale.voidedAt ? defused(sale.reason) : "")
            .text(cells.vatRate)
            .text(cells.vat)
            .text(cells.method)
            .text(sale.table)
            .text(cells.staff)
            .text(z);
        csv.endRow();
    }
};

// The discounts and the service charge as rows of their own, the first of
// them carrying what the receipt's VAT differs from the items' rows by; a
// sale paid in parts gets a row for each part.
void exportMoneyRows(CsvWriter& csv, const SaleFigures& sale, const std::vector<Money>& vat,
                     const std::string& z) {
    Money left;
    for (const VatFigure& rate : sale.vat) {
        left += rate.vat;
    }
    for (const Money& item : vat) {
        left -= item;
    }
    const ExportRow row{sale, z};
    const std::string method = sale.tenders.size() > 1 ? "parts" : sale.method;
    for (const auto& [kind, amount] :
         {std::pair{"discount", -sale.discount}, std::pair{"service charge", sale.charge}}) {
        if (amount != Money()) {
            row.write(csv, kind, "", amount,
                      {"", "", "", left.twoDecimals(), method, defused(sale.staff)});
            left = Money();
        }
    }
    for (std::size_t at = 0; sale.tenders.size() > 1 && at < sale.tenders.size(); ++at) {
        const Tender& tender = sale.tenders[at];
        row.write(csv, "payment", tender.method, tender.amount,
                  {"", "", "", "", tender.method, defused(sale.staff)});
    }
}

}  // namespace

int exportDay(Journal& journal, std::optional<std::int32_t> day, std::ostream& out,
              bool signedHead) {
    const std::optional<DayRecord> record = dayAskedFor(journal, day);
    if (!record) {
        return unknown;
    }
    CsvWriter csv(out, ',', "\r\n");
    for (const char* column :
         {"day", "customer", "sale_id", "paid_at", "kind", "name", "price", "cost", "total_cost",
          "void", "vat_rate", "vat", "method", "table", "staff", "z"}) {
        csv.text(column);
    }
    csv.endRow();
    const std::string z = record->z ? std::to_string(*record->z) : "";
    for (const SaleFigures& sale : DayFigures::of(*record).sales) {
        const std::vector<Money> vat = vatOfEachItem(sale);
        const std::string method = sale.tenders.size() > 1 ? "parts" : sale.method;
        for (std::size_t at = 0; at < sale.items.size(); ++at) {
            const SoldItem& item = sale.items[at];
            ExportRow{sale, z}.write(
                csv, std::string(kindWord(item.kind)), defused(item.name), item.price,
                {item.cost.twoDecimals(), item.costWithSurcharge.twoDecimals(),
                 vatRateText(item.vat), vat[at].twoDecimals(), method, defused(item.staff)});
        }
        exportMoneyRows(csv, sale, vat, z);
    }
    if (signedHead) {
        printSignedHead(journal, record->number, out);
    }
    out << std::flush;
    return 0;
}
