#include "web/ChangeRoutes.h"

#include <optional>
#include <sstream>
#include <utility>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "reports/ReportLines.h"
#include "service/OrderRules.h"
#include "service/OrderViews.h"
#include "service/PaymentRules.h"
#include "service/SaleFigures.h"
#include "web/BodyFields.h"
#include "web/DayJson.h"
#include "web/KitchenRoutes.h"
#include "web/MoneyRoutes.h"
#include "web/RefusalWords.h"

namespace {

using nlohmann::json;
using Routed = ChangeRoutes::Routed;

const char* const kindsHint = "the kind is dish, snack or drink";

WebAnswer badRequest(const std::string& why) { return WebAnswer::refusal(400, why); }

// The order a path names: "counter", or a table's label.
std::optional<std::string> orderOf(const std::string& name) {
    if (name == "counter") {
        return std::string();
    }
    return isTableLabel(name) ? std::optional<std::string>(name) : std::nullopt;
}

// The items a body names by id.
std::vector<ItemRef> idsOf(BodyFields& fields, const std::string& fault) {
    std::vector<ItemRef> items;
    for (std::string& id : fields.texts("items", fault)) {
        items.push_back({ItemKind::dish, {}, std::move(id)});
    }
    return items;
}

// Answers with the order as the command left it.
Submission::Answer orderAnswer(const std::string& label) {
    return [label](const Result&, const DayReplay& day) {
        return DayJson::text(DayJson::order(OrderViews::named(day, label)));
    };
}

json receiptIn(const DayReplay& day, std::int32_t customer) {
    const std::optional<SaleFigures> sale = SaleFigures::in(day, customer);
    return sale ? DayJson::receipt(*sale) : json();
}

}  // namespace

Routed ChangeRoutes::route(const WebRequest& request, const std::vector<std::string>& path,
                           const json& body) {
    if (path.size() >= 3 && path[1] == "orders") {
        return orderChange(request, path, body);
    }
    if (path.size() == 4 && path[1] == "sales" && path[3] == "void" && request.method == "POST") {
        return voidSale(path[2], body);
    }
    if (path.size() == 3 && path[1] == "day" && path[2] == "close" && request.method == "POST") {
        return closeDay();
    }
    if (path.size() == 5 && path[1] == "menu" && path[4] == "sold-out" &&
        (request.method == "POST" || request.method == "DELETE")) {
        return soldOut(path[2], path[3], request.method == "POST");
    }
    if (path.size() == 3 && path[1] == "drawer" && request.method == "POST") {
        return MoneyRoutes::drawer(path[2], body);
    }
    if (path.size() == 4 && path[1] == "tickets" && request.method == "POST") {
        return KitchenRoutes::ticketChange(path[2], path[3], body);
    }
    return WebAnswer::refusal(path.size() >= 2 ? 405 : 404, "there is no such change");
}

Routed ChangeRoutes::orderChange(const WebRequest& request, const std::vector<std::string>& path,
                                 const json& body) {
    const std::optional<std::string> order = orderOf(path[2]);
    if (!order) {
        return badRequest("'" + path[2] + "' is not a table's label: 1 to 16 letters, digits or -");
    }
    const std::string what = path.size() > 3 ? path[3] : "";
    const bool posted = request.method == "POST" && path.size() == 4;
    if (what == "items" && posted) {
        return addItem(*order, body);
    }
    if (what == "items" && path.size() == 5 && request.method == "DELETE") {
        return removeItem(*order, path[4]);
    }
    if (what == "clear" && posted) {
        return Change{ClearOrder{*order}, orderAnswer(*order)};
    }
    if (what == "move" && posted) {
        return moveItems(*order, body);
    }
    if (what == "pay" && posted) {
        return MoneyRoutes::pay(*order, body);
    }
    if (what == "discount" && posted) {
        return MoneyRoutes::discount(*order, body);
    }
    if (what == "split-evenly" && posted) {
        return MoneyRoutes::splitEvenly(*order, body);
    }
    if ((what == "send" || what == "fire") && posted) {
        return KitchenRoutes::sendOrFire(*order, what == "fire", body);
    }
    return WebAnswer::refusal(path.size() <= 5 ? 405 : 404, "there is no such change");
}

Routed ChangeRoutes::addItem(const std::string& order, const json& body) {
    BodyFields fields(body);
    const std::optional<ItemKind> kind = kindNamed(fields.text("kind", "", kindsHint));
    const std::optional<json> item = fields.numberOrText("item", "give the item by number or name");
    const std::int64_t count =
        fields.integer("count", 1, 1, OrderRules::mostCopies, "the count must be from 1 to 99");
    if (fields.fault() || !kind || !item) {
        return badRequest(fields.fault().value_or(kindsHint));
    }
    ItemChoice choice;
    if (item->is_string()) {
        choice.name = item->get<std::string>();
    } else {
        choice.number = item->get<std::int64_t>();
    }
    const bool noted = body.contains("note") && !body["note"].is_null();
    const std::string note = noted ? fields.text("note", "", RefusalWords::noteRule) : "";
    if (fields.fault()) {
        return badRequest(*fields.fault());
    }
    std::optional<std::int64_t> version;
    if (fields.has("menu_version")) {
        version = fields.integer("menu_version", 0, 1, INT64_MAX, "menu_version is the menu's");
    }
    if (fields.fault()) {
        return badRequest(*fields.fault());
    }
    return Change{AddItems{order, *kind, choice, static_cast<int>(count), note, version},
                  orderAnswer(order)};
}

Routed ChangeRoutes::removeItem(const std::string& order, const std::string& id) {
    return Change{RemoveItem{order, {ItemKind::dish, {}, id}}, orderAnswer(order)};
}

Routed ChangeRoutes::moveItems(const std::string& order, const json& body) {
    BodyFields fields(body);
    const std::optional<std::string> to =
        orderOf(fields.text("to", "", "give the table the items go to"));
    const bool all = body.contains("all") && body["all"] == true;
    const std::vector<ItemRef> items =
        all ? std::vector<ItemRef>()
            : idsOf(fields, "name the items that move by their ids, in \"items\"");
    if (fields.fault() || !to || (items.empty() && !all)) {
        return badRequest(
            fields.fault().value_or(!to ? "give the table the items go to"
                                        : "name the items that move by their ids, in \"items\""));
    }
    return Change{MoveItems{order, items, *to, all},
                  [order, to = *to](const Result&, const DayReplay& day) {
                      return DayJson::text({{"orders",
                                             {DayJson::order(OrderViews::named(day, order)),
                                              DayJson::order(OrderViews::named(day, to))}}});
                  }};
}

Routed ChangeRoutes::voidSale(const std::string& saleId, const json& body) {
    BodyFields fields(body);
    if (!fields.has("reason")) {
        return badRequest("give the reason of the void");
    }
    const std::string reason = fields.freeText("reason", RefusalWords::voidReasonRule);
    if (fields.fault()) {
        return badRequest(*fields.fault());
    }
    return Change{VoidSale{0, saleId, reason}, [](const Result& done, const DayReplay& day) {
                      return DayJson::text(receiptIn(day, std::get<Voided>(done).customer));
                  }};
}

// The item by its number on the menu, or by a name it begins with.
Routed ChangeRoutes::soldOut(const std::string& kindName, const std::string& item, bool out) {
    const std::optional<ItemKind> kind = kindNamed(kindName);
    if (!kind || item.empty()) {
        return WebAnswer::refusal(404, "there is no such item on the menu");
    }
    ItemChoice choice;
    if (isAllDigits(item) && item.size() <= 9) {
        choice.number = std::stoll(item);
    } else {
        choice.name = item;
    }
    return Change{MarkSoldOut{*kind, choice, out}, [](const Result& done, const DayReplay&) {
                      const SoldOutMarked& marked = std::get<SoldOutMarked>(done);
                      return DayJson::text({{"kind", std::string(kindWord(marked.kind))},
                                            {"name", marked.name},
                                            {"sold_out", marked.soldOut}});
                  }};
}

// The close opens the next day at once: a till that serves serves on.
Routed ChangeRoutes::closeDay() {
    return Change{CloseDay{true}, [](const Result& done, const DayReplay&) {
                      const Closed& closed = std::get<Closed>(done);
                      std::ostringstream printed;
                      ReportLines::print(closed.cost, closed.revenue, closed.profit, printed);
                      ReportLines::printZ(closed.z, printed);
                      json lines = json::array();
                      std::istringstream text(printed.str());
                      for (std::string line; std::getline(text, line);) {
                          lines.push_back(line);
                      }
                      return DayJson::text({{"day", closed.day}, {"report", lines}});
                  }};
}
