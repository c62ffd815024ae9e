#include "service/Bill.h"

#include <algorithm>

Money Bill::off(const Discount& discount, Money base) {
    const Money taken = discount.percent != 0 ? base.percent(discount.percent) : discount.amount;
    return std::clamp(taken, Money(), std::max(base, Money()));
}

Bill Bill::of(const DayReplay& day, const OpenOrder& order, const std::vector<std::size_t>& chosen,
              bool closing, std::int64_t serviceCharge) {
    return of(day, order, chosen, closing, serviceCharge, day.discountsOn(order));
}

Bill Bill::of(const DayReplay& day, const OpenOrder& order, const std::vector<std::size_t>& chosen,
              bool closing, std::int64_t serviceCharge, const std::vector<Discount>& discounts) {
    Bill bill;
    for (std::size_t at : chosen) {
        const JournalItem& item = day.sofar().items[at];
        bill.prices += item.price;
        for (const Discount& discount : discounts) {
            if (discount.item == item.entry) {
                bill.discount += off(discount, item.price);
            }
        }
    }
    const Money left = bill.prices - bill.discount;
    for (const Discount& discount : discounts) {
        if (discount.item == 0 && (discount.percent != 0 || closing)) {
            bill.discount += off(discount, left);
        }
    }
    bill.discount = std::min(bill.discount, bill.prices);
    if (!order.label.empty()) {
        bill.charge = (bill.prices - bill.discount).percent(serviceCharge);
    }
    bill.due = bill.prices - bill.discount + bill.charge;
    return bill;
}

Bill Bill::whole(const DayReplay& day, const OpenOrder& order, std::int64_t serviceCharge) {
    return whole(day, order, serviceCharge, day.discountsOn(order));
}

Bill Bill::whole(const DayReplay& day, const OpenOrder& order, std::int64_t serviceCharge,
                 const std::vector<Discount>& discounts) {
    std::vector<std::size_t> all;
    for (const auto& kind : order.items) {
        all.insert(all.end(), kind.begin(), kind.end());
    }
    return of(day, order, all, true, serviceCharge, discounts);
}
