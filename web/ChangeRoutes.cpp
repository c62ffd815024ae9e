#include "web/ChangeRoutes.h"

#include <optional>
#include <sstream>
#include <utility>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "reports/ReportLines.h"
#include "service/OrderViews.h"
#include "service/SaleFigures.h"
#include "web/DayJson.h"

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

std::optional<ItemChoice> choiceOf(const json& value) {
    ItemChoice choice;
    if (value.is_number_unsigned()) {
        choice.number = value.get<std::int64_t>();
    } else if (value.is_string() && !value.get<std::string>().empty()) {
        choice.name = value.get<std::string>();
    } else {
        return std::nullopt;
    }
    return choice;
}

// The items a body names by id, each a string.
std::optional<std::vector<ItemRef>> idsOf(const json& body) {
    const json listed = body.value("items", json::array());
    if (!listed.is_array()) {
        return std::nullopt;
    }
    std::vector<ItemRef> items;
    for (const json& id : listed) {
        if (!id.is_string() || id.get<std::string>().empty()) {
            return std::nullopt;
        }
        items.push_back({ItemKind::dish, {}, id.get<std::string>()});
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
        return pay(*order, body);
    }
    return WebAnswer::refusal(path.size() <= 5 ? 405 : 404, "there is no such change");
}

Routed ChangeRoutes::addItem(const std::string& order, const json& body) {
    const std::optional<ItemKind> kind = body.contains("kind") && body["kind"].is_string()
                                             ? kindNamed(body["kind"].get<std::string>())
                                             : std::nullopt;
    const std::optional<ItemChoice> item =
        body.contains("item") ? choiceOf(body["item"]) : std::nullopt;
    const json count = body.value("count", json(1));
    if (!kind || !item || !count.is_number_integer()) {
        return badRequest(!kind   ? std::string(kindsHint)
                          : !item ? "give the item by number or name"
                                  : "the count must be from 1 to 99");
    }
    const std::int64_t copies = count.get<std::int64_t>();
    const int asked = copies < 0 || copies > 1000 ? 0 : static_cast<int>(copies);
    return Change{AddItems{order, *kind, *item, asked}, orderAnswer(order)};
}

Routed ChangeRoutes::removeItem(const std::string& order, const std::string& id) {
    return Change{RemoveItem{order, {ItemKind::dish, {}, id}}, orderAnswer(order)};
}

Routed ChangeRoutes::moveItems(const std::string& order, const json& body) {
    const std::optional<std::string> to = body.contains("to") && body["to"].is_string()
                                              ? orderOf(body["to"].get<std::string>())
                                              : std::nullopt;
    const std::optional<std::vector<ItemRef>> items = idsOf(body);
    if (!to || !items || items->empty()) {
        return badRequest(!to ? "give the table the items go to"
                              : "name the items that move by their ids, in \"items\"");
    }
    return Change{MoveItems{order, *items, *to},
                  [order, to = *to](const Result&, const DayReplay& day) {
                      return DayJson::text({{"orders",
                                             {DayJson::order(OrderViews::named(day, order)),
                                              DayJson::order(OrderViews::named(day, to))}}});
                  }};
}

Routed ChangeRoutes::pay(const std::string& order, const json& body) {
    Payment payment;
    const json method = body.value("method", json("cash"));
    if (!method.is_string()) {
        return badRequest("pay by cash, card or other");
    }
    payment.method = method.get<std::string>();
    if (body.contains("given_cents")) {
        if (!body["given_cents"].is_number_unsigned() || payment.method != "cash") {
            return badRequest("given_cents is the cash given, in cents");
        }
        payment.given = Money::fromCents(body["given_cents"].get<std::int64_t>());
    }
    const std::optional<std::vector<ItemRef>> items = idsOf(body);
    if (!items) {
        return badRequest("name the items paid for by their ids, in \"items\"");
    }
    return Change{PayOrder{order, *items, payment}, [](const Result& done, const DayReplay& day) {
                      const Paid& paid = std::get<Paid>(done);
                      return DayJson::text({{"customer", paid.customer},
                                            {"total_cents", paid.total.cents()},
                                            {"change_cents", paid.change.cents()},
                                            {"receipt", receiptIn(day, paid.customer)}});
                  }};
}

Routed ChangeRoutes::voidSale(const std::string& saleId, const json& body) {
    const json reason = body.value("reason", json(""));
    if (!reason.is_string() || reason.get<std::string>().empty()) {
        return badRequest("give the reason of the void");
    }
    return Change{VoidSale{0, saleId, reason.get<std::string>()},
                  [](const Result& done, const DayReplay& day) {
                      return DayJson::text(receiptIn(day, std::get<Voided>(done).customer));
                  }};
}

// The close opens the next day at once: a till that serves serves on.
Routed ChangeRoutes::closeDay() {
    return Change{CloseDay{true}, [](const Result& done, const DayReplay&) {
                      const Closed& closed = std::get<Closed>(done);
                      std::ostringstream printed;
                      ReportLines::print(closed.cost, closed.revenue, closed.profit, printed);
                      json lines = json::array();
                      std::istringstream text(printed.str());
                      for (std::string line; std::getline(text, line);) {
                          lines.push_back(line);
                      }
                      return DayJson::text({{"day", closed.day}, {"report", lines}});
                  }};
}
