#include "web/MoneyRoutes.h"

#include <cmath>
#include <utility>

#include "service/OrderViews.h"
#include "service/PaymentRules.h"
#include "service/SaleFigures.h"
#include "web/BodyFields.h"
#include "web/DayJson.h"

namespace {

using nlohmann::json;
using Routed = ChangeRoutes::Routed;

WebAnswer badRequest(const std::string& why) { return WebAnswer::refusal(400, why); }

constexpr std::int64_t mostCents = PaymentRules::mostCashGiven.cents();

Submission::Answer orderAnswer(const std::string& label) {
    return [label](const Result&, const DayReplay& day) {
        return DayJson::text(DayJson::order(OrderViews::named(day, label)));
    };
}

// One part of a payment: its way, its amount unless it is the rest, and the
// cash given.
std::optional<Payment> partOf(const json& given) {
    if (!given.is_object()) {
        return std::nullopt;
    }
    BodyFields fields(given);
    Payment part;
    part.method = fields.text("method", "", "");
    if (fields.has("amount_cents")) {
        part.amount = Money::fromCents(fields.integer("amount_cents", 0, 1, mostCents, ""));
    }
    if (fields.has("given_cents")) {
        part.given = Money::fromCents(fields.integer("given_cents", 0, 0, mostCents, ""));
    }
    if (fields.fault() || part.method.empty() || (part.given && part.method != "cash")) {
        return std::nullopt;
    }
    return part;
}

const char* const paymentsRule =
    "payments is a list of {\"method\", \"amount_cents\", \"given_cents\"}: every part but the "
    "last has an amount, the last pays the rest, and only cash is given";

}  // namespace

Routed MoneyRoutes::discount(const std::string& order, const json& body) {
    BodyFields fields(body);
    GiveDiscount command{order, std::nullopt, 0, Money(), ""};
    const json percent = body.contains("percent") ? body["percent"] : json();
    if (percent.is_number() && std::isfinite(percent.get<double>())) {
        command.percent = std::llround(percent.get<double>() * 100);
        command.percent = command.percent == 0 ? -1 : command.percent;
    } else if (!percent.is_null()) {
        return badRequest("percent is a number from 0.01 to 100");
    } else {
        command.amount = Money::fromCents(fields.integer(
            "amount_cents", 0, 1, mostCents, "give \"percent\" or \"amount_cents\" above 0"));
    }
    if (fields.has("item")) {
        command.item = ItemRef{ItemKind::dish, {}, fields.text("item", "", "item is an item's id")};
    }
    command.reason = fields.text("reason", "", "give the reason as text");
    if (fields.fault() || (command.percent == 0 && command.amount == Money())) {
        return badRequest(fields.fault().value_or("give \"percent\" or \"amount_cents\""));
    }
    return ChangeRoutes::Change{std::move(command), orderAnswer(order)};
}

Routed MoneyRoutes::splitEvenly(const std::string& order, const json& body) {
    BodyFields fields(body);
    const std::int64_t parts = fields.integer("parts", 0, 2, 20, "parts is from 2 to 20");
    if (fields.fault() || parts == 0) {
        return badRequest(fields.fault().value_or("give the number of parts, from 2 to 20"));
    }
    return ChangeRoutes::Change{SplitEvenly{order, parts},
                                [order](const Result& done, const DayReplay& day) {
                                    json shown = DayJson::order(OrderViews::named(day, order));
                                    json shares = json::array();
                                    for (const Money share : std::get<SplitUp>(done).shares) {
                                        shares.push_back(share.cents());
                                    }
                                    shown["shares_cents"] = shares;
                                    return DayJson::text(shown);
                                }};
}

Routed MoneyRoutes::drawer(const std::string& kind, const json& body) {
    if (kind != "open" && kind != "in" && kind != "out" && kind != "count") {
        return WebAnswer::refusal(404, "the drawer does open, in, out and count");
    }
    BodyFields fields(body);
    const std::int64_t amount =
        fields.integer("amount_cents", -1, 0, mostCents, "amount_cents is the amount, in cents");
    const bool moves = kind == "in" || kind == "out";
    const std::string reason = moves ? fields.text("reason", "", "give the reason as text") : "";
    if (fields.fault() || amount < 0) {
        return badRequest(fields.fault().value_or("give the amount in \"amount_cents\""));
    }
    return ChangeRoutes::Change{
        DrawerCash{kind, Money::fromCents(amount), reason},
        [](const Result& done, const DayReplay&) {
            const DrawerMoved& moved = std::get<DrawerMoved>(done);
            return DayJson::text({{"drawer", moved.kind}, {"amount_cents", moved.amount.cents()}});
        }};
}

namespace {

// The payment's ways: "payments", or "method" and "given_cents" for one.
std::optional<std::string> readPayments(BodyFields& fields, const json& body, PayOrder& command) {
    if (!body.contains("payments")) {
        command.payment.method = fields.text("method", "cash", "pay by cash, card or other");
        if (fields.has("given_cents")) {
            command.payment.given = Money::fromCents(fields.integer(
                "given_cents", 0, 0, mostCents,
                "given_cents is the cash given, in cents, from 0 to " + std::to_string(mostCents)));
        }
        if (command.payment.given && command.payment.method != "cash") {
            return std::string("given_cents is the cash given, for a payment in cash");
        }
        return std::nullopt;
    }
    const json& payments = body["payments"];
    if (!payments.is_array() || payments.empty() || payments.size() > 20) {
        return std::string(paymentsRule);
    }
    for (const json& given : payments) {
        std::optional<Payment> part = partOf(given);
        const bool last = &given == &payments.back();
        if (!part || part->amount.has_value() == last) {
            return std::string(paymentsRule);
        }
        (last ? command.payment : command.parts.emplace_back()) = std::move(*part);
    }
    return std::nullopt;
}

json receiptIn(const DayReplay& day, std::int32_t customer) {
    const std::optional<SaleFigures> sale = SaleFigures::in(day, customer);
    return sale ? DayJson::receipt(*sale) : json();
}

}  // namespace

Routed MoneyRoutes::pay(const std::string& order, const json& body) {
    BodyFields fields(body);
    PayOrder command{order, {}, Payment(), {}, Money(), std::nullopt};
    for (std::string& id : fields.texts("items", "name the items paid for by their ids")) {
        command.items.push_back({ItemKind::dish, {}, std::move(id)});
    }
    const std::optional<std::string> badPayments = readPayments(fields, body, command);
    command.tip =
        Money::fromCents(fields.integer("tip_cents", 0, 0, mostCents, "tip_cents is the tip"));
    if (fields.has("expected_total_cents")) {
        command.expectedTotal = Money::fromCents(fields.integer(
            "expected_total_cents", 0, 0, mostCents, "expected_total_cents is the total shown"));
    }
    if (fields.fault() || badPayments) {
        return badRequest(fields.fault().value_or(badPayments.value_or("")));
    }
    return ChangeRoutes::Change{
        std::move(command), [](const Result& done, const DayReplay& day) {
            const Paid& paid = std::get<Paid>(done);
            return DayJson::text({{"customer", paid.customer},
                                  {"total_cents", paid.total.cents()},
                                  {"change_cents", paid.change.cents()},
                                  {"receipt", receiptIn(day, paid.customer)}});
        }};
}
