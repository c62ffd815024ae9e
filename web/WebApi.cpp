#include "web/WebApi.h"

#include <future>
#include <iostream>
#include <memory>
#include <sstream>
#include <utility>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "reports/DayLedger.h"
#include "web/DayJson.h"
#include "web/Page.h"
#include "web/PinHash.h"
#include "web/RefusalWords.h"

namespace {

using nlohmann::json;

WebAnswer answered(int status, const json& body) {
    return {status, "application/json", DayJson::text(body), {}, false};
}

WebAnswer refused(int status, const std::string& why) { return answered(status, {{"error", why}}); }

const char* const kindsHint = "the kind is dish, snack or drink";

// The order a path names: "counter", or a table's label.
std::optional<std::string> orderOf(const std::string& name) {
    if (name == "counter") {
        return std::string();
    }
    return isTableLabel(name) ? std::optional<std::string>(name) : std::nullopt;
}

std::optional<ItemKind> kindOf(const json& body, const char* field) {
    return body.contains(field) && body[field].is_string()
               ? kindNamed(body[field].get<std::string>())
               : std::nullopt;
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

template <typename Result>
std::optional<Refusal> refusalOf(const Outcome<Result>& outcome) {
    return outcome.done() ? std::nullopt : std::optional<Refusal>(outcome.refusal());
}

}  // namespace

WebApi::WebApi(DayService& service, Journal& journal, Sessions& sessions, EventHub& events)
    : service(service), sessions(sessions), events(events), staff(journal.staff()) {}

void WebApi::handle(const WebRequest& request, Reply reply) {
    Routed routed = route(request);
    if (auto* answer = std::get_if<WebAnswer>(&routed)) {
        reply(std::move(*answer));
        return;
    }
    carryOut(std::get<Change>(std::move(routed)), std::move(reply));
}

WebAnswer WebApi::handle(const WebRequest& request) {
    auto promised = std::make_shared<std::promise<WebAnswer>>();
    std::future<WebAnswer> answer = promised->get_future();
    handle(request, [promised](WebAnswer given) { promised->set_value(std::move(given)); });
    return answer.get();
}

void WebApi::deliverOn(Home given) {
    std::lock_guard<std::mutex> lock(homeMutex);
    home = std::move(given);
}

void WebApi::settle() { service.settle(); }

void WebApi::deliver(std::function<void()> delivery) {
    std::lock_guard<std::mutex> lock(homeMutex);
    if (home) {
        home(std::move(delivery));
    } else {
        delivery();
    }
}

WebApi::Routed WebApi::route(const WebRequest& request) {
    const Path path = request.path();
    if (path.empty() || path[0] != "api") {
        return page(request);
    }
    if (std::optional<WebAnswer> unsafe = refusedAsUnsafe(request)) {
        return *unsafe;
    }
    json body = json::object();
    if (!request.body.empty()) {
        body = json::parse(request.body, nullptr, false);
        if (body.is_discarded() || !body.is_object()) {
            return refused(400, "the body is not a JSON object");
        }
    }
    if (path.size() == 2 && path[1] == "session") {
        return session(request, body);
    }
    const std::optional<std::string> who = sessions.holder(request.sessionToken());
    if (!staff.empty() && !who) {
        return refused(401, "sign in first");
    }
    if (request.method == "GET") {
        return read(path);
    }
    Routed routed = change(request, path, body);
    if (auto* asked = std::get_if<Change>(&routed)) {
        asked->staff = who.value_or("");
        asked->key = request.idempotencyKey;
    }
    return routed;
}

WebAnswer WebApi::page(const WebRequest& request) {
    if (request.method != "GET" && request.method != "HEAD") {
        return refused(405, "the page is read with GET");
    }
    const std::optional<Page::File> file =
        Page::find(request.target.substr(0, request.target.find('?')));
    if (!file) {
        return refused(404, "there is no such page");
    }
    return {200, file->type, std::string(file->text), Page::headers(), false};
}

WebAnswer WebApi::session(const WebRequest& request, const json& body) {
    if (request.method == "POST") {
        return signIn(request, body);
    }
    if (request.method == "DELETE") {
        sessions.close(request.sessionToken());
        return {204, "application/json", "", {}, false};
    }
    return refused(405, "sign in with POST, out with DELETE");
}

// A change must be POST or DELETE with a JSON body, from the page's own
// origin when the browser names one.
std::optional<WebAnswer> WebApi::refusedAsUnsafe(const WebRequest& request) const {
    if (request.body.size() > std::size_t{64} * 1024) {
        return refused(413, "the body is larger than 64 KiB");
    }
    if (request.method == "GET" || request.method == "HEAD") {
        return std::nullopt;
    }
    if (request.method != "POST" && request.method != "DELETE") {
        return refused(405, "changes are made with POST or DELETE");
    }
    if (request.contentType.rfind("application/json", 0) != 0) {
        return refused(415, "send the body as application/json");
    }
    if (request.origin && *request.origin != "http://" + request.host &&
        *request.origin != "https://" + request.host) {
        return refused(403, "the request comes from another site");
    }
    return std::nullopt;
}

WebAnswer WebApi::signIn(const WebRequest& request, const json& body) {
    if (!sessions.mayTry(request.peer)) {
        return refused(429, "too many wrong PINs: wait a minute");
    }
    const std::string name = body.value("staff", std::string());
    const std::string pin =
        body.contains("pin") && body["pin"].is_string() ? body["pin"].get<std::string>() : "";
    for (const Journal::StaffMember& member : staff) {
        if (member.name == name && PinHash::matches(member.pinHash, pin)) {
            WebAnswer answer{204, "application/json", "", {}, false};
            answer.headers.emplace_back("Set-Cookie", "session=" + sessions.open(name) +
                                                          "; HttpOnly; SameSite=Strict; Path=/" +
                                                          (request.secure ? "; Secure" : ""));
            return answer;
        }
    }
    sessions.wrongPin(request.peer);
    return refused(401, "wrong name or PIN");
}

WebAnswer WebApi::read(const Path& path) {
    if (path.size() == 2 && path[1] == "menu") {
        return answered(200, DayJson::menu(service.menu()));
    }
    if (path.size() == 2 && path[1] == "orders") {
        json orders = json::array();
        for (const OrderView& order : service.orders()) {
            orders.push_back(DayJson::order(order));
        }
        return answered(200, {{"change", events.change()}, {"orders", orders}});
    }
    if (path.size() == 2 && path[1] == "events") {
        return {200, "text/event-stream", "", {{"Cache-Control", "no-store"}}, true};
    }
    if (path.size() >= 2 && path[1] == "days") {
        return pastDay(path);
    }
    return refused(404, "there is no such resource");
}

WebAnswer WebApi::pastDay(const Path& path) {
    if (path.size() == 2) {
        json days = json::array();
        for (const DayLine& line : service.days()) {
            days.push_back(DayJson::day(line));
        }
        return answered(200, days);
    }
    const std::int32_t number =
        path[2].size() <= 9 && isAllDigits(path[2]) ? std::stoi(path[2]) : 0;
    const std::optional<DayRecord> record = service.dayRecord(number);
    if (!record) {
        return refused(404, "there is no day " + path[2]);
    }
    if (path.size() == 4 && path[3] == "summary") {
        return answered(200, DayJson::summary(*record));
    }
    if (path.size() == 5 && path[3] == "receipts" && isAllDigits(path[4]) && path[4].size() <= 9) {
        const json receipt = DayJson::receipt(*record, std::stoi(path[4]));
        return receipt.is_null() ? refused(404, "customer " + path[4] + " did not pay that day")
                                 : answered(200, receipt);
    }
    return refused(404, "there is no such resource");
}

WebApi::Routed WebApi::change(const WebRequest& request, const Path& path, const json& body) {
    if (path.size() >= 3 && path[1] == "orders") {
        return orderChange(request, path, body);
    }
    if (path.size() == 4 && path[1] == "customers" && path[3] == "void" &&
        request.method == "POST") {
        const std::int32_t customer =
            path[2].size() <= 9 && isAllDigits(path[2]) ? std::stoi(path[2]) : 0;
        const std::string reason = body.value("reason", std::string());
        if (reason.empty()) {
            return refused(400, "give the reason of the void");
        }
        return Change{
            [this, customer, reason] { return refusalOf(service.voidSale(customer, reason)); },
            [customer](const DayRecord& after) { return DayJson::receipt(after, customer); }};
    }
    if (path.size() == 3 && path[1] == "day" && path[2] == "close" && request.method == "POST") {
        return closeDay();
    }
    return refused(path.size() >= 2 ? 405 : 404, "there is no such change");
}

// The change runs in the service's next batch; its answer is made on the
// writer's thread, then delivered home with the event it raises.
void WebApi::carryOut(Change change, Reply reply) {
    DayService::Tag tag{change.staff, change.key, [answer = change.answer](const DayRecord& after) {
                            return DayJson::text(answer(after));
                        }};
    service.tagged(std::move(tag), std::move(change.command),
                   [this, answer = std::move(change.answer),
                    reply = std::move(reply)](const DayService::TagOutcome& outcome) {
                       const bool changedDay = !outcome.earlier && !outcome.refusal;
                       deliver([this, made = answerOf(outcome, answer), changedDay, reply] {
                           if (changedDay) {
                               events.changed();
                           }
                           reply(made);
                       });
                   });
}

WebAnswer WebApi::answerOf(const DayService::TagOutcome& outcome,
                           const std::function<json(const DayRecord&)>& answer) {
    if (outcome.earlier) {
        return {200, "application/json", *outcome.earlier, {}, false};
    }
    if (outcome.refusal) {
        return refused(RefusalWords::status(outcome.refusal->reason),
                       RefusalWords::message(*outcome.refusal));
    }
    return {200,
            "application/json",
            outcome.answer ? *outcome.answer : DayJson::text(answer(service.record())),
            {},
            false};
}

WebApi::Routed WebApi::orderChange(const WebRequest& request, const Path& path, const json& body) {
    const std::optional<std::string> order = orderOf(path[2]);
    if (!order) {
        return refused(400,
                       "'" + path[2] + "' is not a table's label: 1 to 16 letters, digits or -");
    }
    const std::string what = path.size() > 3 ? path[3] : "";
    const bool posted = request.method == "POST" && path.size() == 4;
    if (what == "items" && posted) {
        return addItem(*order, body);
    }
    if (what == "items" && path.size() == 6 && request.method == "DELETE") {
        return removeItem(*order, path[4], path[5]);
    }
    if (what == "clear" && posted) {
        return Change{
            [this, order = *order] { return refusalOf(service.clear(order)); },
            [order = *order](const DayRecord& after) { return DayJson::orderIn(after, order); }};
    }
    if (what == "move" && posted) {
        return moveItem(*order, body);
    }
    if (what == "pay" && posted) {
        return pay(*order, body);
    }
    return refused(path.size() <= 6 ? 405 : 404, "there is no such change");
}

WebApi::Routed WebApi::addItem(const std::string& order, const json& body) {
    const std::optional<ItemKind> kind = kindOf(body, "kind");
    const std::optional<ItemChoice> item =
        body.contains("item") ? choiceOf(body["item"]) : std::nullopt;
    const json count = body.value("count", json(1));
    if (!kind || !item || !count.is_number_integer()) {
        return refused(400, !kind   ? std::string(kindsHint)
                            : !item ? "give the item by number or name"
                                    : "the count must be from 1 to 99");
    }
    return Change{[this, order, kind = *kind, item = *item, count = count.get<int>()] {
                      return refusalOf(service.add(order, kind, item, count));
                  },
                  [order](const DayRecord& after) { return DayJson::orderIn(after, order); }};
}

WebApi::Routed WebApi::removeItem(const std::string& order, const std::string& kindName,
                                  const std::string& position) {
    const std::optional<ItemKind> kind = kindNamed(kindName);
    if (!kind || !isAllDigits(position) || position.size() > 9) {
        return refused(!kind ? 400 : 404,
                       !kind ? std::string(kindsHint) : "there is no such position");
    }
    const ItemChoice item{std::stoll(position), ""};
    return Change{
        [this, order, kind = *kind, item] { return refusalOf(service.remove(order, kind, item)); },
        [order](const DayRecord& after) { return DayJson::orderIn(after, order); }};
}

WebApi::Routed WebApi::moveItem(const std::string& order, const json& body) {
    const std::optional<ItemKind> kind = kindOf(body, "kind");
    const std::optional<std::string> to = body.contains("to") && body["to"].is_string()
                                              ? orderOf(body["to"].get<std::string>())
                                              : std::nullopt;
    const json position = body.value("position", json());
    if (!kind || !to || !position.is_number_unsigned()) {
        return refused(400, !kind ? std::string(kindsHint)
                            : !to ? "give the table it goes to"
                                  : "give the item's position");
    }
    const ItemChoice item{position.get<std::int64_t>(), ""};
    return Change{
        [this, order, kind = *kind, item, to = *to] {
            return refusalOf(service.move(order, kind, item, to));
        },
        [order, to = *to](const DayRecord& after) {
            return json{{"orders", {DayJson::orderIn(after, order), DayJson::orderIn(after, to)}}};
        }};
}

WebApi::Routed WebApi::pay(const std::string& order, const json& body) {
    Payment payment;
    payment.method = body.value("method", std::string("cash"));
    if (body.contains("given_cents")) {
        if (!body["given_cents"].is_number_unsigned() || payment.method != "cash") {
            return refused(400, "given_cents is the cash given, in cents");
        }
        payment.given = Money::fromCents(body["given_cents"].get<std::int64_t>());
    }
    std::vector<std::pair<ItemKind, ItemChoice>> items;
    for (const json& item : body.value("items", json::array())) {
        const std::optional<ItemKind> kind = item.is_object() ? kindOf(item, "kind") : std::nullopt;
        if (!kind || !item.value("position", json()).is_number_unsigned()) {
            return refused(400, "name each item paid for by kind and position");
        }
        items.push_back({*kind, ItemChoice{item["position"].get<std::int64_t>(), ""}});
    }
    return Change{
        [this, order, items, payment] { return refusalOf(service.pay(order, items, payment)); },
        [](const DayRecord& after) {
            const PaidCustomer& last = after.customers.back();
            const json receipt = DayJson::receipt(after, last.number);
            return json{{"customer", last.number},
                        {"total_cents", receipt["total_cents"]},
                        {"change_cents", receipt.value("change_cents", 0)},
                        {"receipt", receipt}};
        }};
}

// The report's three lines are the library's own, which print themselves.
WebAnswer WebApi::closeDay() {
    const DayRecord record = service.record();
    const Outcome<Closed> closed = service.closeDay();
    if (!closed.done()) {
        return refused(RefusalWords::status(closed.refusal().reason),
                       RefusalWords::message(closed.refusal()));
    }
    std::ostringstream printed;
    std::streambuf* const before = std::cout.rdbuf(printed.rdbuf());
    DayLedger(record).paidCustomers().displayFinancial();
    std::cout.rdbuf(before);
    json lines = json::array();
    std::istringstream text(printed.str());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    service.start();
    events.changed();
    return answered(200, {{"day", closed.result().day}, {"report", lines}});
}
