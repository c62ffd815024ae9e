#include "web/DayJson.h"

#include "base/LocalTime.h"

namespace {

using nlohmann::json;

json items(const std::array<std::vector<OrderItem>, 3>& kinds) {
    json all = json::array();
    for (const auto& kind : kinds) {
        std::size_t position = 0;
        for (const OrderItem& item : kind) {
            all.push_back({{"id", item.id},
                           {"kind", std::string(kindWord(item.kind))},
                           {"position", ++position},
                           {"name", item.name},
                           {"price_cents", item.price.cents()},
                           {"note", item.note.empty() ? json() : json(item.note)},
                           {"course", item.course},
                           {"sent", item.sent},
                           {"held", item.held},
                           {"ready", item.ready}});
        }
    }
    return all;
}

json vatOf(const std::vector<VatFigure>& rates) {
    json vat = json::array();
    for (const VatFigure& rate : rates) {
        vat.push_back({{"rate", rate.rate},
                       {"gross_cents", rate.gross.cents()},
                       {"vat_cents", rate.vat.cents()}});
    }
    return vat;
}

json rowsOf(const DayFigures& figures) {
    json rows = json::array();
    for (const ItemRow& row : figures.rows) {
        rows.push_back({{"kind", std::string(kindWord(row.kind))},
                        {"name", row.name},
                        {"count", row.count},
                        {"revenue_cents", row.revenue.cents()},
                        {"cost_cents", row.cost.cents()},
                        {"profit_cents", row.profit.cents()}});
    }
    return rows;
}

json byHourAndMethod(const DayFigures& figures) {
    json shown = {{"hours", json::array()}, {"payments", json::array()}};
    for (const HourFigure& hour : figures.hours) {
        shown["hours"].push_back(
            {{"hour", isoTime(hour.hour)}, {"revenue_cents", hour.revenue.cents()}});
    }
    for (const MethodFigure& method : figures.payments) {
        shown["payments"].push_back({{"method", DayJson::methodName(method.method)},
                                     {"sales", method.sales},
                                     {"amount_cents", method.amount.cents()}});
    }
    return shown;
}

json staffVoidsAndKitchen(const DayFigures& figures) {
    json shown = {{"staff", json::array()}, {"voids", json::array()}, {"kitchen", json::array()}};
    for (const StationFigure& station : figures.kitchen) {
        shown["kitchen"].push_back({{"station", station.station},
                                    {"ready", station.ready},
                                    {"average_seconds", station.averageSeconds}});
    }
    for (const StaffFigure& member : figures.staff) {
        shown["staff"].push_back({{"staff", member.name},
                                  {"payments", member.payments},
                                  {"tips_cents", member.tips.cents()},
                                  {"revenue_cents", member.revenue.cents()}});
    }
    for (const SaleFigures& sale : figures.sales) {
        if (sale.voidedAt) {
            shown["voids"].push_back({{"customer", sale.customer},
                                      {"sale_id", sale.saleId},
                                      {"total_cents", sale.total.cents()},
                                      {"paid_at", isoTime(sale.paidAt)},
                                      {"voided_at", isoTime(*sale.voidedAt)},
                                      {"reason", sale.reason}});
        }
    }
    return shown;
}

}  // namespace

std::string DayJson::text(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string DayJson::orderName(const std::string& label) {
    return label.empty() ? "counter" : label;
}

std::string DayJson::methodName(PaymentMethod method) {
    switch (method) {
        case PaymentMethod::cash:
            return "cash";
        case PaymentMethod::card:
            return "card";
        case PaymentMethod::other:
            return "other";
        case PaymentMethod::unrecorded:
            return "unrecorded";
    }
    return "unrecorded";
}

json DayJson::restaurant(const Settings& settings) {
    return {{"name", settings.get("name")},
            {"address", settings.get("address")},
            {"vat_number", settings.get("vat-number")},
            {"currency", settings.currency()}};
}

json DayJson::menu(const DaySnapshot& now) {
    json all = {{"version", now.menuVersion}};
    for (ItemKind kind : itemKinds) {
        json list = json::array();
        std::size_t number = 0;
        for (const MenuItem& item : now.menu->of(kind)) {
            list.push_back({{"number", ++number},
                            {"name", item.name},
                            {"price_cents", item.price.cents()},
                            {"sold_out", now.soldOut.count({kind, item.name}) != 0}});
        }
        all[std::string(kindWord(kind))] = list;
    }
    return all;
}

json DayJson::order(const OrderView& order) {
    return {{"order", orderName(order.label)},
            {"sale_id", order.saleId},
            {"opened_at", order.saleId.empty() ? json() : json(isoTime(order.openedAt))},
            {"items", items(order.items)},
            {"total_cents", order.total.cents()},
            {"discount_cents", order.discount.cents()},
            {"service_charge_cents", order.charge.cents()},
            {"due_cents", order.due.cents()},
            {"parts",
             order.parts == 0 ? json() : json({{"of", order.parts}, {"paid", order.partsPaid}})}};
}

json DayJson::receipt(const SaleFigures& sale) {
    json lines = json::array();
    for (const SoldItem& item : sale.items) {
        lines.push_back({{"kind", std::string(kindWord(item.kind))},
                         {"name", item.name},
                         {"price_cents", item.price.cents()},
                         {"note", item.note.empty() ? json() : json(item.note)}});
    }
    json shown = {{"day", sale.day},
                  {"customer", sale.customer},
                  {"sale_id", sale.saleId},
                  {"order", orderName(sale.table)},
                  {"paid_at", isoTime(sale.paidAt)},
                  {"items", lines},
                  {"total_cents", sale.total.cents()},
                  {"vat", vatOf(sale.vat)},
                  {"method", sale.method},
                  {"staff", sale.staff}};
    if (sale.given) {
        shown["given_cents"] = sale.given->cents();
        shown["change_cents"] = sale.change.cents();
    }
    if (sale.voidedAt) {
        shown["void"] = {{"at", isoTime(*sale.voidedAt)}, {"reason", sale.reason}};
    }
    shown.update(moneyOf(sale));
    return shown;
}

// A receipt's discounts, service charge, tip, tenders and equal part.
json DayJson::moneyOf(const SaleFigures& sale) {
    json tenders = json::array();
    for (const Tender& tender : sale.tenders) {
        tenders.push_back({{"method", tender.method}, {"amount_cents", tender.amount.cents()}});
    }
    json discounts = json::array();
    for (const Discount& discount : sale.discounts) {
        discounts.push_back(
            {{"reason", discount.reason},
             {"percent",
              discount.percent == 0 ? json() : json(static_cast<double>(discount.percent) / 100.0)},
             {"amount_cents", discount.percent == 0 ? json(discount.amount.cents()) : json()},
             {"approver", discount.approver.empty() ? json() : json(discount.approver)}});
    }
    return {{"discount_cents", sale.discount.cents()},
            {"discounts", discounts},
            {"service_charge_cents", sale.charge.cents()},
            {"tip_cents", sale.tip.cents()},
            {"payments", tenders},
            {"part", sale.part == 0 ? json() : json({{"part", sale.part}, {"of", sale.parts}})}};
}

json DayJson::summary(const DayFigures& figures) {
    json shown = {{"day", figures.day},
                  {"opened_at", isoTime(figures.openedAt)},
                  {"closed_at", figures.closedAt ? json(isoTime(*figures.closedAt)) : json()},
                  {"customers", figures.customers},
                  {"items_sold", figures.itemsSold},
                  {"items_removed", figures.itemsRemoved},
                  {"removed_cents", figures.removedValue.cents()},
                  {"revenue_cents", figures.revenue.cents()},
                  {"cost_cents", figures.cost.cents()},
                  {"profit_cents", figures.profit.cents()},
                  {"average_cents", figures.average.cents()},
                  {"items", rowsOf(figures)},
                  {"cash_expected_cents", figures.cashExpected.cents()},
                  {"discount_cents", figures.discounts.cents()},
                  {"service_charge_cents", figures.charges.cents()},
                  {"tip_cents", figures.tips.cents()},
                  {"cash_counted_cents", figures.counted ? json(figures.counted->cents()) : json()},
                  {"z", figures.z ? json(*figures.z) : json()},
                  {"vat", vatOf(figures.vat)},
                  {"vat_cents", figures.vatTotal.cents()}};
    shown.update(byHourAndMethod(figures));
    shown.update(staffVoidsAndKitchen(figures));
    return shown;
}

json DayJson::day(const DayLine& line) {
    return {{"day", line.number},
            {"opened_at", isoTime(line.openedAt)},
            {"closed_at", line.closedAt ? json(isoTime(*line.closedAt)) : json()},
            {"customers", line.customers},
            {"revenue_cents", line.revenue.cents()}};
}
