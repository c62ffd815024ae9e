#include "console/MoneyWords.h"

#include <utility>

#include "console/ConsoleView.h"

MoneyWords::MoneyWords(std::ostream& out, std::string currency)
    : out(out), currency(std::move(currency)) {}

std::string MoneyWords::amount(Money money) const { return money.twoDecimals() + " " + currency; }

void MoneyWords::say(const std::string& line) { out << line << std::endl; }

void MoneyWords::discounted(const Discounted& discounted, std::int32_t customer) {
    say("Discount of " + amount(discounted.amount) + " off " +
        (discounted.item.empty() ? "" : discounted.item + " in ") +
        ConsoleView::whose(discounted.order, customer) + "; its discounts come to " +
        amount(discounted.total));
}

void MoneyWords::splitUp(const SplitUp& split, std::int32_t customer) {
    std::string line = "The bill of " + ConsoleView::whose(split.order, customer) + " in " +
                       std::to_string(split.shares.size()) + " equal parts:";
    for (std::size_t at = 0; at < split.shares.size(); ++at) {
        line += (at == 0 ? " " : ", ") + amount(split.shares[at]);
    }
    say(line + "; each pay pays the next part");
}

void MoneyWords::drawerMoved(const DrawerMoved& moved) {
    if (moved.kind == "open") {
        say("The drawer opens with a float of " + amount(moved.amount));
    } else if (moved.kind == "count") {
        say("Counted " + amount(moved.amount) + " in the drawer: the summary shows over or short");
    } else {
        say(amount(moved.amount) +
            (moved.kind == "in" ? " put in the drawer" : " taken out of the drawer"));
    }
}

void MoneyWords::paid(const Paid& paid) {
    if (paid.ofParts > 0 && paid.part == paid.ofParts) {
        say("That was the last of " + std::to_string(paid.ofParts) + " parts: the bill is paid");
    }
    if (paid.discount != Money()) {
        say("Discounts: " + amount(paid.discount));
    }
    if (paid.charge != Money()) {
        say("Service charge: " + amount(paid.charge));
    }
    Money named;
    for (const Payment& part : paid.parts) {
        say("Paid by " + part.method + ": " + amount(part.amount.value_or(Money())));
        named += part.amount.value_or(Money());
    }
    if (!paid.parts.empty()) {
        say("Paid by " + paid.payment.method + ": " + amount(paid.total - named));
    }
    if (paid.tip != Money()) {
        say("Tip: " + amount(paid.tip));
    }
    if (paid.payment.given) {
        say("Change: " + amount(paid.change));
    }
}

// The console's owner is a manager: approvals and the kitchen's limits
// reach it only from devices, but every reason has its words.
void MoneyWords::refused(const Refusal& refusal) {
    using Reason = Refusal::Reason;
    const Reason reason = refusal.reason;
    if (reason == Reason::badDiscount) {
        say("A discount is a percentage from 0.01 to 100 (discount 10% REASON), or an "
            "amount up to " +
            amount(refusal.due) + " (discount 5.00 REASON)");
    } else if (reason == Reason::badAmount) {
        say("'" + refusal.given.twoDecimals() + "' is no amount for " + refusal.text +
            ": type an amount with at most two decimals, for example: drawer open 150.00");
    } else if (reason == Reason::needsReason) {
        say("Give a reason of plain text, at most 120 characters, for example: "
            "drawer out 20.00 window cleaner");
    } else if (reason == Reason::totalChanged) {
        say("The bill comes to " + amount(refusal.due) + " now: nothing was charged");
    } else if (reason == Reason::badParts) {
        say("Split into 2 to 20 equal parts, before any part is paid, for example: "
            "split evenly 3");
    } else if (reason == Reason::partsTooMuch) {
        say("The parts named come to " + amount(refusal.given) +
            ", but must leave some of the bill of " + amount(refusal.due) +
            " for the last way to pay");
    } else {
        say("A " + refusal.text + " needs a manager's approval");
    }
}
