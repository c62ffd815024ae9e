#include "service/SaleFigures.h"

#include <algorithm>
#include <map>

#include "base/Vat.h"

SaleFigures SaleFigures::of(std::int32_t day, const PaidCustomer& paid,
                            const std::vector<const JournalItem*>& items) {
    SaleFigures sale;
    sale.day = day;
    sale.customer = paid.number;
    sale.saleId = paid.saleId;
    sale.table = paid.table;
    sale.paidAt = paid.paidAt;
    sale.method = paid.method;
    sale.given = paid.given;
    sale.voidedAt = paid.voidedAt;
    sale.reason = paid.reason;
    sale.staff = paid.staff;
    std::map<std::int64_t, Money> byRate;
    for (const JournalItem* item : items) {
        sale.items.push_back({item->kind, item->name, item->price, item->cost,
                              item->cost + surchargeOf(item->kind), item->staff, item->vat,
                              item->note});
        sale.total += item->price;
        byRate[item->vat] += item->price;
    }
    std::stable_sort(sale.items.begin(), sale.items.end(),
                     [](const SoldItem& a, const SoldItem& b) { return a.kind < b.kind; });
    for (const auto& [rate, gross] : byRate) {
        sale.vat.push_back({rate, gross, vatContained(gross, rate)});
    }
    sale.change = sale.given ? *sale.given - sale.total : Money();
    return sale;
}

std::optional<SaleFigures> SaleFigures::in(const DayReplay& day, std::int32_t customer) {
    const PaidCustomer* paid = day.customer(customer);
    if (paid == nullptr) {
        return std::nullopt;
    }
    std::vector<const JournalItem*> items;
    for (std::size_t at : day.itemsOf(customer)) {
        items.push_back(&day.sofar().items[at]);
    }
    return of(day.sofar().number, *paid, items);
}
