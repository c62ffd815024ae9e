#include "web/DayJson.h"

#include <algorithm>
#include <map>

#include "base/LocalTime.h"
#include "base/TableLabel.h"
#include "reports/DayLedger.h"

namespace {

using nlohmann::json;

json items(const std::array<std::vector<OrderItem>, 3>& kinds) {
    json all = json::array();
    for (const auto& kind : kinds) {
        std::size_t position = 0;
        for (const OrderItem& item : kind) {
            all.push_back({{"kind", std::string(kindWord(item.kind))},
                           {"position", ++position},
                           {"name", item.name},
                           {"price_cents", item.price.cents()}});
        }
    }
    return all;
}

// The VAT each rate took, summed from the receipts' own figures, and the
// revenue each member of staff rang up.
void addVatAndStaff(json& shown, const DayRecord& standing, const DayLedger& ledger) {
    std::map<std::int64_t, DayLedger::Vat> rates;
    std::map<std::string, std::int64_t> staff;
    for (const PaidCustomer& customer : standing.customers) {
        for (const auto& [rate, sold] : ledger.vatOf(customer.number)) {
            rates[rate].gross += sold.gross;
            rates[rate].vat += sold.vat;
        }
        for (const JournalItem* item : ledger.itemsOf(customer.number)) {
            staff[item->staff] += item->price.cents();
        }
    }
    shown["vat"] = json::array();
    for (const auto& [rate, sold] : rates) {
        shown["vat"].push_back(
            {{"rate", rate}, {"gross_cents", sold.gross.cents()}, {"vat_cents", sold.vat.cents()}});
    }
    shown["staff"] = json::array();
    for (const auto& [name, cents] : staff) {
        shown["staff"].push_back({{"staff", name}, {"revenue_cents", cents}});
    }
}

}  // namespace

std::string DayJson::text(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string DayJson::orderName(const std::string& label) {
    return label.empty() ? "counter" : label;
}

json DayJson::menu(const Menu& menu) {
    json all = json::object();
    for (ItemKind kind : itemKinds) {
        json list = json::array();
        std::size_t number = 0;
        for (const MenuItem& item : menu.of(kind)) {
            list.push_back(
                {{"number", ++number}, {"name", item.name}, {"price_cents", item.price.cents()}});
        }
        all[std::string(kindWord(kind))] = list;
    }
    return all;
}

json DayJson::order(const OrderView& order) {
    return {{"order", orderName(order.label)},
            {"sale_id", order.saleId},
            {"opened_at", isoTime(order.openedAt)},
            {"items", items(order.items)},
            {"total_cents", order.total.cents()}};
}

json DayJson::orderIn(const DayRecord& record, const std::string& label) {
    OrderView view;
    view.label = label;
    for (const OpenOrder& open : record.orders) {
        if (foldedLabel(open.label) == foldedLabel(label)) {
            view.label = open.label;
            view.saleId = open.saleId;
            view.openedAt = open.openedAt;
            for (std::size_t kind = 0; kind < open.items.size(); ++kind) {
                for (std::size_t at : open.items[kind]) {
                    const JournalItem& item = record.items[at];
                    view.items[kind].push_back({item.kind, item.name, item.price, item.cost});
                    view.total += item.price;
                    ++view.count;
                }
            }
        }
    }
    json shown = order(view);
    if (view.saleId.empty()) {
        shown["opened_at"] = nullptr;
    }
    return shown;
}

json DayJson::receipt(const DayRecord& record, std::int32_t customer) {
    const auto paid = std::find_if(record.customers.begin(), record.customers.end(),
                                   [&](const PaidCustomer& at) { return at.number == customer; });
    if (paid == record.customers.end()) {
        return nullptr;
    }
    const DayLedger ledger(record);
    json lines = json::array();
    for (const JournalItem* item : ledger.itemsOf(customer)) {
        lines.push_back({{"kind", std::string(kindWord(item->kind))},
                         {"name", item->name},
                         {"price_cents", item->price.cents()}});
    }
    json vat = json::array();
    for (const auto& [rate, sold] : ledger.vatOf(customer)) {
        vat.push_back(
            {{"rate", rate}, {"gross_cents", sold.gross.cents()}, {"vat_cents", sold.vat.cents()}});
    }
    const Money total = ledger.totalOf(customer);
    json shown = {{"day", record.number},
                  {"customer", customer},
                  {"sale_id", paid->saleId},
                  {"order", orderName(paid->table)},
                  {"paid_at", isoTime(paid->paidAt)},
                  {"items", lines},
                  {"total_cents", total.cents()},
                  {"vat", vat},
                  {"method", paid->method},
                  {"staff", paid->staff}};
    if (paid->given) {
        shown["given_cents"] = paid->given->cents();
        shown["change_cents"] = (*paid->given - total).cents();
    }
    if (paid->voidedAt) {
        shown["void"] = {{"at", isoTime(*paid->voidedAt)}, {"reason", paid->reason}};
    }
    return shown;
}

json DayJson::summary(const DayRecord& record) {
    const DayRecord standing = DayLedger::standing(record);
    const DayLedger ledger(standing);
    std::map<std::string, json> methods;
    std::map<Moment, std::int64_t> hours;
    std::int64_t revenue = 0;
    for (const PaidCustomer& customer : standing.customers) {
        const std::int64_t total = ledger.totalOf(customer.number).cents();
        revenue += total;
        json& method = methods.try_emplace(customer.method, json{{"sales", 0}, {"amount_cents", 0}})
                           .first->second;
        method["sales"] = method["sales"].get<int>() + 1;
        method["amount_cents"] = method["amount_cents"].get<std::int64_t>() + total;
        hours[startOfLocalHour(customer.paidAt)] += total;
    }
    json shown = {{"day", record.number},
                  {"opened_at", isoTime(record.openedAt)},
                  {"closed_at", record.closedAt ? json(isoTime(*record.closedAt)) : json()},
                  {"customers", standing.customers.size()},
                  {"revenue_cents", revenue},
                  {"payments", json::array()},
                  {"hours", json::array()},
                  {"voids", json::array()}};
    for (auto& [method, sums] : methods) {
        sums["method"] = method;
        shown["payments"].push_back(sums);
    }
    shown["cash_expected_cents"] =
        methods.count("cash") ? methods["cash"]["amount_cents"] : json(0);
    for (const auto& [hour, cents] : hours) {
        shown["hours"].push_back({{"hour", isoTime(hour)}, {"revenue_cents", cents}});
    }
    addVatAndStaff(shown, standing, ledger);
    const DayLedger all(record);
    for (const PaidCustomer& customer : record.customers) {
        if (customer.voidedAt) {
            shown["voids"].push_back({{"customer", customer.number},
                                      {"total_cents", all.totalOf(customer.number).cents()},
                                      {"reason", customer.reason}});
        }
    }
    return shown;
}

json DayJson::day(const DayLine& line) {
    return {{"day", line.number},
            {"opened_at", isoTime(line.openedAt)},
            {"closed_at", line.closedAt ? json(isoTime(*line.closedAt)) : json()},
            {"customers", line.customers},
            {"revenue_cents", line.revenue.cents()}};
}
