#include "service/PaymentRules.h"

#include <optional>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "service/ItemFinder.h"
#include "service/KitchenRules.h"

namespace {

// No customer hands over more than 100,000.00 in cash: a larger amount is a
// typo, which would put a fortune of change in the drawer's figures.
std::optional<Refusal> refusedGiven(const Payment& payment, Money total) {
    const Money most = Money::fromCents(10'000'000);
    if (payment.given && *payment.given > most) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::givenTooMuch);
        refused.given = *payment.given;
        refused.due = most;
        return refused;
    }
    if (payment.given && *payment.given < total) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::notEnough);
        refused.given = *payment.given;
        refused.due = total;
        return refused;
    }
    return std::nullopt;
}

}  // namespace

Ruled PaymentRules::pay(const RuleContext& context, const PayOrder& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder* open = std::get<const OpenOrder*>(found);
    auto chosen = ItemFinder(context.menu(), context.day()).chosen(command.order, command.items);
    if (chosen.index() == 1) {
        return std::get<Refusal>(chosen);
    }
    const std::string& method = command.payment.method;
    if (method != "cash" && method != "card" && method != "other") {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badMethod);
        refused.text = method;
        return refused;
    }
    return payFor(context, *open, std::get<std::vector<std::size_t>>(chosen), command.payment);
}

// A whole order is paid under its own sale id; part of one, under a new
// one, its items marked first. After a table pays, the till turns back to
// the counter.
Ruled PaymentRules::payFor(const RuleContext& context, const OpenOrder& open,
                           const std::vector<std::size_t>& chosen, const Payment& payment) {
    Paid paid;
    paid.order = open.label;
    paid.customer = context.day().nextCustomer();
    paid.next = paid.customer + 1;
    paid.items = chosen.size();
    paid.left = open.size() - chosen.size();
    paid.payment = payment;
    const bool whole = paid.left == 0;
    paid.saleId = whole ? open.saleId : context.newSaleId();
    std::vector<JournalEntry> entries;
    entries.reserve(chosen.size() + 2);
    for (std::size_t at : chosen) {
        const JournalItem& item = context.day().sofar().items[at];
        paid.total += item.price;
        if (!whole) {
            entries.push_back(context.entry(JournalEntry::Type::part, ""));
            entries.back().item = item.entry;
            entries.back().customer = paid.customer;
        }
    }
    if (std::optional<Refusal> refused = refusedGiven(payment, paid.total)) {
        return *refused;
    }
    paid.change = payment.given ? *payment.given - paid.total : Money();
    KitchenRules::sendAndFire(context, chosen, open.label, entries);
    entries.push_back(context.entry(JournalEntry::Type::pay, open.label));
    entries.back().customer = paid.customer;
    entries.back().saleId = paid.saleId;
    entries.back().method = payment.method;
    entries.back().given = payment.given;
    if (whole && !open.label.empty() &&
        foldedLabel(context.day().current()) == foldedLabel(open.label)) {
        entries.push_back(context.entry(JournalEntry::Type::select, ""));
    }
    return Ruling{std::move(entries), std::move(paid)};
}

std::variant<const PaidCustomer*, Refusal> PaymentRules::saleOf(const RuleContext& context,
                                                                const VoidSale& command) {
    if (command.saleId.empty()) {
        const PaidCustomer* paid = context.day().customer(command.customer);
        if (paid == nullptr) {
            Refusal refused = RuleContext::refusal(Refusal::Reason::noSuchCustomer);
            refused.number = command.customer;
            return refused;
        }
        return paid;
    }
    for (const PaidCustomer& paid : context.day().sofar().customers) {
        if (paid.saleId == command.saleId) {
            return &paid;
        }
    }
    Refusal refused = RuleContext::refusal(Refusal::Reason::noSuchSale);
    refused.text = command.saleId;
    return refused;
}

Ruled PaymentRules::voidSale(const RuleContext& context, const VoidSale& command) {
    const auto found = saleOf(context, command);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const PaidCustomer& paid = *std::get<const PaidCustomer*>(found);
    if (paid.voidedAt || command.reason.empty()) {
        Refusal refused = RuleContext::refusal(paid.voidedAt ? Refusal::Reason::alreadyVoid
                                                             : Refusal::Reason::noReason);
        refused.number = paid.number;
        return refused;
    }
    if (!isFreeText(command.reason)) {
        return RuleContext::refusal(Refusal::Reason::badReason);
    }
    Voided voided{paid.number, paid.saleId, Money(), command.reason};
    for (std::size_t at : context.day().itemsOf(paid.number)) {
        voided.total += context.day().sofar().items[at].price;
    }
    Ruling ruling{{}, voided};
    KitchenRules::changed(context, context.day().itemsOf(paid.number), paid.table, "",
                          ruling.entries);
    ruling.entries.push_back(context.entry(JournalEntry::Type::voided, ""));
    ruling.entries.back().customer = paid.number;
    ruling.entries.back().reason = command.reason;
    return ruling;
}
