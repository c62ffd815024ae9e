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
          "void", "vat_rate", "vat", "method", "table", "staff"}) {
        csv.text(column);
    }
    csv.endRow();
    for (const SaleFigures& sale : DayFigures::of(*record).sales) {
        const std::string paidAt = isoTime(sale.paidAt);
        const std::vector<Money> vat = vatOfEachItem(sale);
        for (std::size_t at = 0; at < sale.items.size(); ++at) {
            const SoldItem& item = sale.items[at];
            csv.number(static_cast<long long>(sale.day))
                .number(static_cast<long long>(sale.customer))
                .text(sale.saleId)
                .text(paidAt)
                .text(kindWord(item.kind))
                .text(defused(item.name))
                .text(item.price.twoDecimals())
                .text(item.cost.twoDecimals())
                .text(item.costWithSurcharge.twoDecimals())
                .text(sale.voidedAt ? defused(sale.reason) : "")
                .text(vatRateText(item.vat))
                .text(vat[at].twoDecimals())
                .text(sale.method)
                .text(sale.table)
                .text(defused(item.staff));
            csv.endRow();
        }
    }
    if (signedHead) {
        printSignedHead(journal, record->number, out);
    }
    out << std::flush;
    return 0;
}
