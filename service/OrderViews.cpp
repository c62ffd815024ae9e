#include "service/OrderViews.h"

#include "service/Bill.h"

OrderView OrderViews::of(const DayReplay& day, const OpenOrder& order) {
    OrderView view;
    view.label = order.label;
    view.saleId = order.saleId;
    view.openedAt = order.openedAt;
    view.count = order.size();
    const std::int32_t number = day.sofar().number;
    for (std::size_t kind = 0; kind < order.items.size(); ++kind) {
        view.items[kind].reserve(order.items[kind].size());
        for (std::size_t at : order.items[kind]) {
            const JournalItem& item = day.sofar().items[at];
            view.items[kind].push_back({item.kind, item.name, item.price, item.cost,
                                        itemIdOf(number, item.entry), item.note, item.course,
                                        item.ticket != 0, item.held(), item.readyAt.has_value()});
            view.total += item.price;
        }
    }
    const Bill bill = Bill::whole(day, order, day.serviceCharge());
    view.discount = bill.discount;
    view.charge = bill.charge;
    view.due = order.parts > 0
                   ? (bill.due - order.paidInParts).firstShare(order.parts - order.partsPaid)
                   : bill.due;
    view.parts = order.parts;
    view.partsPaid = order.partsPaid;
    return view;
}

OrderView OrderViews::named(const DayReplay& day, const std::string& label) {
    const OpenOrder* open = day.order(label);
    if (open == nullptr) {
        OrderView empty;
        empty.label = label;
        return empty;
    }
    return of(day, *open);
}

std::vector<OrderView> OrderViews::all(const DayReplay& day) {
    const std::vector<const OpenOrder*> open = day.orders();
    std::vector<OrderView> views;
    views.reserve(open.size());
    for (const OpenOrder* order : open) {
        views.push_back(of(day, *order));
    }
    return views;
}
