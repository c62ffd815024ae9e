#include "service/PaymentRules.h"

#include <optional>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "service/Bill.h"
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
    for (const Payment& part : command.parts) {
        if (part.method != "cash" && part.method != "card" && part.method != "other") {
            Refusal refused = RuleContext::refusal(Refusal::Reason::badMethod);
            refused.text = part.method;
            return refused;
        }
    }
    return payFor(context, *open, std::get<std::vector<std::size_t>>(chosen), command);
}

// A whole order is paid under its own sale id; part of one, under a new
// one, its items marked first; an equal part, under a new one too, but the
// last, which takes the items. After a table pays, the till turns back to
// the counter.
Ruled PaymentRules::payFor(const RuleContext& context, const OpenOrder& open,
                           const std::vector<std::size_t>& chosen, const PayOrder& command) {
    const bool share = open.parts > 0 && open.partsPaid + 1 < open.parts;
    const bool whole = chosen.size() == open.size() && !share;
    const Bill bill = Bill::of(context.day(), open, chosen, whole, context.serviceCharge());
    Paid paid = paidOf(context, open, chosen, whole);
    paid.total = open.parts > 0
                     ? (bill.due - open.paidInParts).firstShare(open.parts - open.partsPaid)
                     : bill.due;
    if (!share) {
        paid.discount = bill.discount;
        paid.charge = bill.charge;
    }
    if (command.expectedTotal && *command.expectedTotal != paid.total) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::totalChanged);
        refused.given = *command.expectedTotal;
        refused.due = paid.total;
        return refused;
    }
    paid.tip = command.tip;
    paid.payment = command.payment;
    paid.parts = command.parts;
    std::vector<JournalEntry> entries;
    if (std::optional<Refusal> refused = tendered(context, paid, entries)) {
        return *refused;
    }
    for (std::size_t at : whole || share || open.parts > 0 ? std::vector<std::size_t>() : chosen) {
        entries.push_back(context.entry(JournalEntry::Type::part, ""));
        entries.back().item = context.day().sofar().items[at].entry;
        entries.back().customer = paid.customer;
    }
    KitchenRules::sendAndFire(context, share ? std::vector<std::size_t>() : chosen, open.label,
                              entries);
    entries.push_back(payEntry(context, open, paid, open.parts > 0));
    if (whole && !open.label.empty() &&
        foldedLabel(context.day().current()) == foldedLabel(open.label)) {
        entries.push_back(context.entry(JournalEntry::Type::select, ""));
    }
    return Ruling{std::move(entries), std::move(paid)};
}

Paid PaymentRules::paidOf(const RuleContext& context, const OpenOrder& open,
                          const std::vector<std::size_t>& chosen, bool whole) {
    Paid paid;
    paid.order = open.label;
    paid.customer = context.day().nextCustomer();
    paid.next = paid.customer + 1;
    const bool share = open.parts > 0 && !whole;
    paid.items = share ? 0 : chosen.size();
    paid.left = open.size() - paid.items;
    paid.saleId = whole ? open.saleId : context.newSaleId();
    if (open.parts > 0) {
        paid.part = open.partsPaid + 1;
        paid.ofParts = open.parts;
    }
    return paid;
}

// The parts named come first, each its own tender; the payment's method
// takes the rest, and the tip. Cash given must cover its part.
std::optional<Refusal> PaymentRules::tendered(const RuleContext& context, Paid& paid,
                                              std::vector<JournalEntry>& entries) {
    Money named;
    for (const Payment& part : paid.parts) {
        named += part.amount.value_or(Money());
        if (!part.amount || *part.amount <= Money() || named >= paid.total) {
            Refusal refused = RuleContext::refusal(Refusal::Reason::partsTooMuch);
            refused.given = named;
            refused.due = paid.total;
            return refused;
        }
        if (std::optional<Refusal> refused = refusedGiven(part, *part.amount)) {
            return refused;
        }
    }
    const Money rest = paid.total - named + paid.tip;
    if (paid.tip < Money() || paid.tip > mostCashGiven) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badAmount);
        refused.given = paid.tip;
        refused.text = "tip";
        return refused;
    }
    if (std::optional<Refusal> refused = refusedGiven(paid.payment, rest)) {
        return refused;
    }
    paid.change = paid.payment.given ? *paid.payment.given - rest : Money();
    writeTenders(context, paid, named, entries);
    return std::nullopt;
}

// A payment in parts writes a tender for each, the last for the rest.
void PaymentRules::writeTenders(const RuleContext& context, Paid& paid, Money named,
                                std::vector<JournalEntry>& entries) {
    if (paid.parts.empty()) {
        return;
    }
    std::vector<Payment> all = paid.parts;
    all.push_back(paid.payment);
    all.back().amount = paid.total - named;
    for (const Payment& part : all) {
        paid.change += &part != &all.back() && part.given ? *part.given - *part.amount : Money();
        entries.push_back(context.entry(JournalEntry::Type::tender, ""));
        entries.back().customer = paid.customer;
        entries.back().method = part.method;
        entries.back().amount = part.amount;
        entries.back().given = part.given;
    }
}

JournalEntry PaymentRules::payEntry(const RuleContext& context, const OpenOrder& open,
                                    const Paid& paid, bool inParts) {
    JournalEntry entry = context.entry(JournalEntry::Type::pay, open.label);
    entry.customer = paid.customer;
    entry.saleId = paid.saleId;
    entry.method = paid.payment.method;
    entry.given = paid.payment.given;
    const auto some = [](Money money) {
        return money == Money() ? std::nullopt : std::optional<Money>(money);
    };
    entry.discount = some(paid.discount);
    entry.charge = some(paid.charge);
    entry.tip = some(paid.tip);
    if (inParts) {
        entry.amount = paid.total;
    }
    return entry;
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
    if (std::optional<Refusal> refused = context.needsManager("void")) {
        return *refused;
    }
    Voided voided{paid.number, paid.saleId, paid.total, command.reason};
    Ruling ruling{{}, voided};
    KitchenRules::changed(context, context.day().itemsOf(paid.number), paid.table, "",
                          ruling.entries);
    ruling.entries.push_back(context.entry(JournalEntry::Type::voided, ""));
    ruling.entries.back().customer = paid.number;
    ruling.entries.back().reason = command.reason;
    return ruling;
}
