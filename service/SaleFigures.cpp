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
    sale.total = paid.total;
    sale.discount = paid.discount;
    sale.charge = paid.charge;
    sale.tip = paid.tip;
    sale.tenders = paid.tenders;
    sale.discounts = paid.discounts;
    sale.part = paid.part;
    sale.parts = paid.parts;
    std::map<std::int64_t, Money> byRate;
    for (const JournalItem* item : items) {
        sale.items.push_back({item->kind, item->name, item->price, item->cost,
                              item->cost + surchargeOf(item->kind), item->staff, item->vat,
                              item->note});
        byRate[item->vat] += item->price;
    }
    std::stable_sort(sale.items.begin(), sale.items.end(),
                     [](const SoldItem& a, const SoldItem& b) { return a.kind < b.kind; });
    sale.vat = vatOf(byRate, sale.charge - sale.discount);
    for (const Tender& tender : sale.tenders) {
        sale.change += tender.given ? *tender.given - tender.amount : Money();
    }
    return sale;
}

// The discounts and the service charge are spread over the rates in
// proportion to their prices; the last rate takes what rounding leaves, so
// that the rates add up to the bill.
std::vector<VatFigure> SaleFigures::vatOf(const std::map<std::int64_t, Money>& byRate,
                                          Money adjustment) {
    Money prices;
    for (const auto& [rate, gross] : byRate) {
        prices += gross;
    }
    std::vector<VatFigure> vat;
    Money spread;
    for (const auto& [rate, gross] : byRate) {
        Money share =
            prices.cents() == 0 ? Money() : (adjustment * gross.cents()).dividedBy(prices.cents());
        if (rate == byRate.rbegin()->first) {
            share = adjustment - spread;
        }
        spread += share;
        vat.push_back({rate, gross + share, vatContained(gross + share, rate)});
    }
    return vat;
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
