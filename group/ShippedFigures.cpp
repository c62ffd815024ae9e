#include "group/ShippedFigures.h"

#include "base/LocalTime.h"
#include "service/DayFigures.h"

namespace {

void addPayments(GroupDay& day, const std::vector<MethodFigure>& payments) {
    for (const MethodFigure& method : payments) {
        switch (method.method) {
            case PaymentMethod::cash:
                day.cash += method.amount;
                break;
            case PaymentMethod::card:
                day.card += method.amount;
                break;
            // A sale from before methods were kept is counted, as other.
            case PaymentMethod::other:
            case PaymentMethod::unrecorded:
                day.other += method.amount;
                break;
        }
    }
}

}  // namespace

CentralStore::DayTotals ShippedFigures::of(const std::string& site, const DayRecord& record) {
    const DayFigures figures = DayFigures::of(record);
    CentralStore::DayTotals totals;
    totals.opened = record.openedAt;
    totals.closed = record.closedAt;
    GroupDay& day = totals.figures;
    day.site = site;
    day.date = localTime(
        record.customers.empty() ? record.openedAt : record.customers.front().paidAt, "%F");
    day.customers = static_cast<std::int64_t>(figures.customers);
    day.revenue = figures.revenue;
    day.vat = figures.vatTotal;
    addPayments(day, figures.payments);
    for (const ItemRow& row : figures.rows) {
        totals.items.push_back(
            {row.kind, row.name, static_cast<std::int64_t>(row.count), row.revenue});
    }
    return totals;
}
