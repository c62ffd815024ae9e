#include "service/MoneyRules.h"

#include <algorithm>
#include <utility>

#include "base/Text.h"
#include "service/Bill.h"
#include "service/ItemFinder.h"

std::optional<Refusal> MoneyRules::badDiscount(const GiveDiscount& command, Money base) {
    if (command.reason.empty() || !isFreeText(command.reason)) {
        return RuleContext::refusal(Refusal::Reason::needsReason);
    }
    const bool byPercent = command.percent != 0;
    if (byPercent ? command.percent < 1 || command.percent > 10'000
                  : command.amount <= Money() || command.amount > base) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badDiscount);
        refused.given = command.amount;
        refused.due = base;
        return refused;
    }
    return std::nullopt;
}

// The order's bill before the discount and with it; an item keeps one
// discount, so a new one takes the old one's place.
std::pair<Bill, Bill> MoneyRules::billsAround(const DayReplay& day, const OpenOrder& open,
                                              const Discount& given) {
    std::vector<Discount> discounts = day.discountsOn(open);
    const Bill before = Bill::whole(day, open, 0, discounts);
    if (given.item != 0) {
        discounts.erase(std::remove_if(discounts.begin(), discounts.end(),
                                       [&](const Discount& had) { return had.item == given.item; }),
                        discounts.end());
    }
    discounts.push_back(given);
    return {before, Bill::whole(day, open, 0, discounts)};
}

// What the discount takes off is worked out now, to judge whether a
// manager must approve it; a payment works it out again from what it pays.
Ruled MoneyRules::discount(const RuleContext& context, const GiveDiscount& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder& open = *std::get<const OpenOrder*>(found);
    JournalEntry entry = context.entry(JournalEntry::Type::discount, open.label);
    Discount given{0, command.percent, command.amount, command.reason, "", ""};
    Money base = Bill::whole(context.day(), open, 0).prices;
    Discounted discounted{open.label, "", Money(), Money()};
    if (command.item) {
        auto chosen =
            ItemFinder(context.menu(), context.day()).chosen(command.order, {*command.item});
        if (chosen.index() == 1) {
            return std::get<Refusal>(chosen);
        }
        const JournalItem& item =
            context.day().sofar().items[std::get<std::vector<std::size_t>>(chosen).front()];
        base = item.price;
        given.item = item.entry;
        entry.item = item.entry;
        discounted.item = item.name;
    }
    if (std::optional<Refusal> refused = badDiscount(command, base)) {
        return *refused;
    }
    const std::pair<Bill, Bill> bills = billsAround(context.day(), open, given);
    discounted.amount = bills.second.discount - bills.first.discount;
    discounted.total = bills.second.discount;
    if (discounted.total > bills.first.prices.percent(waitersMost)) {
        if (std::optional<Refusal> refused = context.needsManager("discount")) {
            return *refused;
        }
    }
    entry.percent = command.percent != 0 ? std::optional(command.percent) : std::nullopt;
    entry.amount = command.percent != 0 ? std::nullopt : std::optional(command.amount);
    entry.reason = command.reason;
    return Ruling{{entry}, discounted};
}

// Each part is paid as it comes, from what is left, so that the parts add
// up to the bill even when it changed on the way.
Ruled MoneyRules::splitEvenly(const RuleContext& context, const SplitEvenly& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder& open = *std::get<const OpenOrder*>(found);
    if (command.parts < 2 || command.parts > mostParts || open.partsPaid > 0) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badParts);
        refused.number = command.parts;
        return refused;
    }
    SplitUp split{open.label, {}};
    Money left = Bill::whole(context.day(), open, context.serviceCharge()).due;
    for (std::int64_t parts = command.parts; parts > 0; --parts) {
        split.shares.push_back(left.firstShare(parts));
        left -= split.shares.back();
    }
    JournalEntry entry = context.entry(JournalEntry::Type::evenly, open.label);
    entry.parts = command.parts;
    return Ruling{{entry}, std::move(split)};
}

Ruled MoneyRules::drawer(const RuleContext& context, const DrawerCash& command) {
    const bool moves = command.kind == "in" || command.kind == "out";
    const bool known = moves || command.kind == "open" || command.kind == "count";
    const Money most = Money::fromCents(10'000'000);
    if (!known || command.amount < Money() || command.amount > most ||
        (moves && command.amount == Money())) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badAmount);
        refused.given = command.amount;
        refused.text = command.kind;
        return refused;
    }
    if (moves && (command.reason.empty() || !isFreeText(command.reason))) {
        return RuleContext::refusal(Refusal::Reason::needsReason);
    }
    JournalEntry entry = context.entry(JournalEntry::Type::drawer, "");
    entry.method = command.kind;
    entry.amount = command.amount;
    if (moves) {
        entry.reason = command.reason;
    }
    return Ruling{{entry}, DrawerMoved{command.kind, command.amount}};
}
