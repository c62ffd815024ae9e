#include "service/DayFigures.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "base/LocalTime.h"

namespace {

PaymentMethod methodOf(const std::string& word) {
    return word == "cash"    ? PaymentMethod::cash
           : word == "card"  ? PaymentMethod::card
           : word == "other" ? PaymentMethod::other
                             : PaymentMethod::unrecorded;
}

// What the sales that stand add up to, gathered before it is sorted out.
struct Sums {
    std::map<std::pair<ItemKind, std::string>, ItemRow> rows;
    std::map<Moment, Money> hours;
    std::map<PaymentMethod, MethodFigure> methods;
    std::map<std::int64_t, VatFigure> vat;
    std::map<std::string, StaffFigure> staff;
};

void count(DayFigures& figures, Sums& sums, const SaleFigures& sale) {
    ++figures.customers;
    figures.revenue += sale.total;
    figures.itemsSold += sale.items.size();
    for (const SoldItem& item : sale.items) {
        figures.cost += item.costWithSurcharge;
        ItemRow& row = sums.rows[{item.kind, item.name}];
        row.kind = item.kind;
        row.name = item.name;
        ++row.count;
        row.revenue += item.price;
        row.cost += item.costWithSurcharge;
    }
    StaffFigure& member = sums.staff[sale.staff];
    member.name = sale.staff;
    ++member.payments;
    member.revenue += sale.total;
    member.tips += sale.tip;
    figures.discounts += sale.discount;
    figures.charges += sale.charge;
    figures.tips += sale.tip;
    sums.hours[startOfLocalHour(sale.paidAt)] += sale.total;
    for (const Tender& tender : sale.tenders) {
        MethodFigure& method = sums.methods[methodOf(tender.method)];
        method.method = methodOf(tender.method);
        ++method.sales;
        method.amount += tender.amount;
    }
    if (!sale.tenders.empty() && methodOf(sale.tenders.back().method) == PaymentMethod::cash) {
        figures.cashExpected += sale.tip;
    }
    for (const VatFigure& rate : sale.vat) {
        VatFigure& sum = sums.vat[rate.rate];
        sum.rate = rate.rate;
        sum.gross += rate.gross;
        sum.vat += rate.vat;
    }
}

std::vector<ItemRow> sortedRows(std::map<std::pair<ItemKind, std::string>, ItemRow>& rows) {
    std::vector<ItemRow> sorted;
    sorted.reserve(rows.size());
    for (auto& entry : rows) {
        entry.second.profit = entry.second.revenue - entry.second.cost;
        sorted.push_back(std::move(entry.second));
    }
    std::sort(sorted.begin(), sorted.end(), [](const ItemRow& a, const ItemRow& b) {
        return std::make_tuple(a.kind, -a.revenue.cents(), a.name) <
               std::make_tuple(b.kind, -b.revenue.cents(), b.name);
    });
    return sorted;
}

// Hours without a sale stay in the chart, as gaps, within one day's span.
std::vector<HourFigure> hoursOf(std::map<Moment, Money>& byHour) {
    if (!byHour.empty() && byHour.rbegin()->first - byHour.begin()->first < Moment{24} * 3600) {
        for (Moment hour = byHour.begin()->first; hour < byHour.rbegin()->first;
             hour = nextLocalHour(hour)) {
            byHour.try_emplace(hour, Money());
        }
    }
    std::vector<HourFigure> hours;
    hours.reserve(byHour.size());
    for (const auto& [hour, revenue] : byHour) {
        hours.push_back({hour, revenue});
    }
    return hours;
}

void sortOut(DayFigures& figures, Sums& sums) {
    figures.profit = figures.revenue - figures.cost;
    figures.average = figures.customers == 0
                          ? Money()
                          : figures.revenue.dividedBy(static_cast<std::int64_t>(figures.customers));
    figures.rows = sortedRows(sums.rows);
    figures.hours = hoursOf(sums.hours);
    for (const auto& [method, sum] : sums.methods) {
        figures.payments.push_back(sum);
        figures.methodsRecorded = figures.methodsRecorded || method != PaymentMethod::unrecorded;
    }
    const auto cash = sums.methods.find(PaymentMethod::cash);
    figures.cashExpected += cash == sums.methods.end() ? Money() : cash->second.amount;
    for (const auto& [rate, sum] : sums.vat) {
        figures.vat.push_back(sum);
        figures.vatTotal += sum.vat;
    }
    for (auto& [name, member] : sums.staff) {
        figures.staff.push_back(std::move(member));
    }
}

}  // namespace

DayFigures DayFigures::of(const DayRecord& record) {
    DayFigures figures;
    figures.day = record.number;
    figures.openedAt = record.openedAt;
    figures.closedAt = record.closedAt;
    std::unordered_map<std::int32_t, std::vector<const JournalItem*>> carts;
    for (const JournalItem& item : record.items) {
        if (item.removedAt) {
            ++figures.itemsRemoved;
            figures.removedValue += item.price;
        } else if (item.customer != 0) {
            carts[item.customer].push_back(&item);
        }
    }
    Sums sums;
    figures.sales.reserve(record.customers.size());
    for (const PaidCustomer& paid : record.customers) {
        figures.sales.push_back(SaleFigures::of(record.number, paid, carts[paid.number]));
        if (!paid.voidedAt) {
            count(figures, sums, figures.sales.back());
        }
    }
    sortOut(figures, sums);
    countDrawer(figures, record);
    figures.kitchen = kitchenOf(record);
    figures.z = record.z;
    return figures;
}

// The float and cash in and out change what the drawer should hold; the
// last float and the last count are the ones that stand.
void DayFigures::countDrawer(DayFigures& figures, const DayRecord& record) {
    Money opening;
    for (const DrawerMove& move : record.drawer) {
        figures.drawerUsed = true;
        if (move.kind == "open") {
            figures.cashExpected += move.amount - opening;
            opening = move.amount;
        } else if (move.kind == "in") {
            figures.cashExpected += move.amount;
        } else if (move.kind == "out") {
            figures.cashExpected -= move.amount;
        } else {
            figures.counted = move.amount;
        }
    }
}

std::vector<StationFigure> DayFigures::kitchenOf(const DayRecord& record) {
    std::map<std::string, std::pair<std::size_t, std::int64_t>> byStation;
    for (const JournalItem& item : record.items) {
        if (item.readyAt && item.ticket != 0) {
            auto& [count, seconds] = byStation[item.station];
            ++count;
            seconds += *item.readyAt - item.sentAt;
        }
    }
    std::vector<StationFigure> stations;
    for (const auto& [station, times] : byStation) {
        const auto count = static_cast<std::int64_t>(times.first);
        stations.push_back({station, times.first, (times.second + count / 2) / count});
    }
    return stations;
}

const SaleFigures* DayFigures::sale(std::int32_t customer) const {
    for (const SaleFigures& sold : sales) {
        if (sold.customer == customer) {
            return &sold;
        }
    }
    return nullptr;
}
