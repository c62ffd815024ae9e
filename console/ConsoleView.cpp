#include "console/ConsoleView.h"

#include <iostream>
#include <utility>

#include "base/LocalTime.h"
#include "console/KitchenWords.h"
#include "console/MoneyWords.h"

namespace {

// How messages speak of one item of a kind, and of several.
const char* spoken(ItemKind kind) {
    return kind == ItemKind::dish ? "main dish" : kind == ItemKind::snack ? "snack" : "drink";
}
const char* spokenPlural(ItemKind kind) {
    return kind == ItemKind::dish ? "main dishes" : kind == ItemKind::snack ? "snacks" : "drinks";
}

std::string counted(std::size_t count, const char* one) {
    return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// "4", "4 and bar", "4, 7 and bar".
std::string inWords(const std::vector<std::string>& labels) {
    std::string text;
    for (std::size_t at = 0; at < labels.size(); ++at) {
        text += (at == 0 ? "" : at + 1 == labels.size() ? " and " : ", ") + labels[at];
    }
    return text;
}

// " in cash", " by card": how a customer paid, as the paid line says it.
std::string wayOf(const Payment& payment) {
    return payment.method == "cash"   ? " in cash"
           : payment.method == "card" ? " by card"
                                      : " by other means";
}

std::string tablesOf(const std::vector<std::string>& labels, const char* one, const char* many) {
    return (labels.size() == 1 ? "Table " : "Tables ") + inWords(labels) +
           (labels.size() == 1 ? one : many);
}

}  // namespace

ConsoleView::ConsoleView(std::ostream& out, std::string currency)
    : out(out), currency(std::move(currency)) {}

std::string ConsoleView::amount(Money money) const { return money.twoDecimals() + " " + currency; }

void ConsoleView::say(const std::string& line) { out << line << std::endl; }

std::string ConsoleView::whose(const std::string& order, std::int32_t customer) {
    return order.empty() ? "customer " + std::to_string(customer) + "'s cart"
                         : "table " + order + "'s order";
}

std::string ConsoleView::whoseCapitalised(const std::string& order, std::int32_t customer) const {
    std::string text = whose(order, customer);
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

void ConsoleView::started(const Started& started, Moment now) {
    if (!started.resumed) {
        return;
    }
    std::size_t atCounter = 0;
    std::vector<std::string> tables;
    for (const OrderView& order : started.orders) {
        if (order.label.empty()) {
            atCounter = order.count;
        } else {
            tables.push_back(order.label);
        }
    }
    std::string line = "Resumed day " + std::to_string(started.day) + ": " +
                       counted(started.paid, "customer") + " paid; customer " +
                       std::to_string(started.nextCustomer) + "'s cart holds " +
                       counted(atCounter, "item");
    if (!tables.empty()) {
        line += "; " + tablesOf(tables, " has an open order", " have open orders");
        line[line.find("; T") + 2] = 't';
    }
    if (!started.current.empty()) {
        line += "; table " + started.current + " is current";
    }
    say(line);
    const char* const date = "%Y-%m-%d";
    if (localTime(started.openedAt, date) != localTime(now, date)) {
        say("Day " + std::to_string(started.day) + " opened on " +
            localTime(started.openedAt, date) + " at " + localTime(started.openedAt, "%H:%M") +
            "; type quit to close it and start a new day.");
    }
}

void ConsoleView::selected(const Selected& selected, std::int32_t customer) {
    if (selected.label.empty()) {
        const std::size_t held = selected.order ? selected.order->count : 0;
        say("Counter: customer " + std::to_string(customer) + "'s cart holds " +
            counted(held, "item") +
            (selected.order ? ", " + amount(selected.order->total) : std::string()));
    } else if (!selected.order) {
        say("Table " + selected.label + ": new order");
    } else {
        say("Table " + selected.label + ": " + counted(selected.order->count, "item") + ", " +
            amount(selected.order->total));
    }
}

void ConsoleView::added(const Added& added) {
    out << "Added ";
    if (added.count > 1) {
        out << added.count << " \u00d7 ";
    }
    out << added.name << " to " << whose(added.order, added.customer) << std::endl;
}

void ConsoleView::removed(const Removed& removed) {
    say("Removed " + removed.name + " from " + whose(removed.order, removed.customer));
}

void ConsoleView::cleared(const Cleared& cleared) {
    say("Cleared " + whose(cleared.order, cleared.customer) + ": " +
        counted(cleared.count, "item") + " removed");
}

void ConsoleView::paid(const Paid& paid, bool anotherComes, bool stated) {
    const std::string amount = this->amount(paid.total) + (stated ? wayOf(paid.payment) : "");
    if (paid.ofParts > 0 && paid.part < paid.ofParts) {
        say((paid.order.empty() ? std::string("The counter") : "Table " + paid.order) +
            " paid part " + std::to_string(paid.part) + " of " + std::to_string(paid.ofParts) +
            ", " + amount + ", as customer " + std::to_string(paid.customer));
    } else if (paid.order.empty() && paid.left == 0) {
        say("Customer " + std::to_string(paid.customer) + " paid " + amount +
            (anotherComes ? "; customer " + std::to_string(paid.next) + " is next" : ""));
    } else if (paid.order.empty()) {
        say("Customer " + std::to_string(paid.customer) + " paid " + amount + " for " +
            counted(paid.items, "item") + "; " + counted(paid.left, "item") +
            (paid.left == 1 ? " stays in " : " stay in ") + whose("", paid.next));
    } else if (paid.left == 0) {
        say("Table " + paid.order + " paid " + amount + " as customer " +
            std::to_string(paid.customer) + "; the counter is current");
    } else {
        say("Table " + paid.order + " paid " + amount + " for " + counted(paid.items, "item") +
            " as customer " + std::to_string(paid.customer) + "; " + counted(paid.left, "item") +
            (paid.left == 1 ? " stays" : " stay") + " on its order");
    }
    MoneyWords(out, currency).paid(paid);
}

void ConsoleView::voided(const Voided& voided) {
    say("Customer " + std::to_string(voided.customer) + "'s sale of " + amount(voided.total) +
        " is void: " + voided.reason);
}

void ConsoleView::moved(const Moved& moved) {
    say("Moved " + moved.name + " from " + whose(moved.from, moved.customer) + " to " +
        whose(moved.to, moved.customer));
}

void ConsoleView::tables(const std::vector<OrderView>& orders, std::int32_t customer) {
    if (orders.empty()) {
        say("No order is open");
    }
    for (const OrderView& order : orders) {
        say(whoseCapitalised(order.label, customer) + ": " + counted(order.count, "item") + ", " +
            amount(order.total) + ", opened " + localTime(order.openedAt, "%H:%M"));
    }
}

void ConsoleView::heading(const std::string& order, std::int32_t customer) {
    say(whoseCapitalised(order, customer) + ":");
}

void ConsoleView::pays(const std::string& order, std::int32_t customer, const OrderView* view) {
    const std::string who =
        order.empty() ? "Customer " + std::to_string(customer) : "Table " + order;
    say(who + " pays " + amount(view ? view->total : Money()) + " in all");
}

void ConsoleView::emptyAlready(const std::string& order, std::int32_t customer) {
    say(whoseCapitalised(order, customer) + " is empty already");
}

std::string ConsoleView::unpaidQuestion(std::int32_t customer, const OrderView& order) const {
    return "Customer " + std::to_string(customer) + " has " + counted(order.count, "item") + " (" +
           amount(order.total) +
           ") unpaid: paid by cash, card or other, or leave it open? [cash/card/other/open]";
}

void ConsoleView::leftUnpaid(std::int32_t customer) {
    say("The day stays open with " + whose("", customer) +
        ": start restaurant again to go on, or type quit to close it.");
}

void ConsoleView::nothingToPay(const std::string& order, std::int32_t customer) {
    say(whoseCapitalised(order, customer) +
        " is empty, so there is nothing to pay: add items first, for example: add dish 2");
}

// A table of reasons, each to the words of its kind.
// NOLINTNEXTLINE(readability-function-size)
void ConsoleView::refused(const Refusal& refusal, const std::string& line, std::int32_t customer,
                          std::ostream& errors) {
    using Reason = Refusal::Reason;
    switch (refusal.reason) {
        case Reason::journalRefused:
        case Reason::outOfMemory:
        case Reason::memoryLost:
            refusedByTheTill(refusal, line, errors);
            return;
        case Reason::emptyOrder:
        case Reason::sameOrder:
        case Reason::ordersOpen:
        case Reason::dayOver:
            refusedOrder(refusal, customer);
            return;
        case Reason::notEnough:
        case Reason::givenTooMuch:
        case Reason::badMethod:
        case Reason::noSuchCustomer:
        case Reason::noSuchSale:
        case Reason::saleOfClosedDay:
        case Reason::alreadyVoid:
        case Reason::noReason:
        case Reason::badReason:
            refusedPayment(refusal);
            return;
        case Reason::noSuchMenuNumber:
        case Reason::noSuchMenuName:
        case Reason::ambiguousMenuName:
        case Reason::badCount:
        case Reason::badLabel:
        case Reason::noSuchPosition:
        case Reason::noSuchOrderName:
        case Reason::ambiguousOrderName:
        case Reason::noSuchItem:
        case Reason::namedTwice:
        case Reason::keyReused:
            refusedItem(refusal, customer);
            return;
        case Reason::badNote:
        case Reason::nothingToSend:
        case Reason::nothingHeld:
        case Reason::noSuchTicket:
        case Reason::notOnTicket:
        case Reason::noPrinter:
        case Reason::soldOut:
        case Reason::menuChanged:
            (void)KitchenWords(out).refused(refusal, customer);
            return;
        case Reason::managerNeeded:
        case Reason::wrongApproval:
        case Reason::kitchenOnly:
        case Reason::badDiscount:
        case Reason::badAmount:
        case Reason::needsReason:
        case Reason::totalChanged:
        case Reason::badParts:
        case Reason::partsTooMuch:
            MoneyWords(out, currency).refused(refusal);
            return;
    }
}

// The journal or memory failed: the line was not carried out.
void ConsoleView::refusedByTheTill(const Refusal& refusal, const std::string& line,
                                   std::ostream& errors) {
    if (refusal.reason == Refusal::Reason::journalRefused) {
        errors << "restaurant: could not record '" << line << "': " << refusal.text
               << "; nothing changed" << std::endl;
    } else if (refusal.reason == Refusal::Reason::outOfMemory) {
        errors << "restaurant: out of memory; that line was not carried out" << std::endl;
    } else {
        errors << "restaurant: the day could not be reloaded from the journal; that line "
                  "was not carried out"
               << std::endl;
    }
}

// An order that cannot be paid, cleared or moved to, or a day that cannot
// close.
void ConsoleView::refusedOrder(const Refusal& refusal, std::int32_t customer) {
    using Reason = Refusal::Reason;
    if (refusal.reason == Reason::emptyOrder) {
        emptyAlready(refusal.order, customer);
    } else if (refusal.reason == Reason::sameOrder) {
        say("That item is on " + whose(refusal.order, customer) +
            " already: move it to another table");
    } else if (refusal.reason == Reason::ordersOpen) {
        say(tablesOf(refusal.names, " still has an open order: pay, move or clear it first",
                     " still have open orders: pay, move or clear them first"));
    } else {
        say("The day is closed: start restaurant again to open the next");
    }
}

// A payment or a void that cannot be.
void ConsoleView::refusedPayment(const Refusal& refusal) {
    using Reason = Refusal::Reason;
    const std::string customer = "ustomer " + std::to_string(refusal.number);
    if (refusal.reason == Reason::notEnough) {
        say("The cash given, " + amount(refusal.given) + ", is less than the " +
            amount(refusal.due) + " to pay: type the cash given, for example: pay cash " +
            refusal.due.shortest());
    } else if (refusal.reason == Reason::givenTooMuch) {
        say("The cash given, " + amount(refusal.given) + ", is more than the " +
            amount(refusal.due) +
            " a customer could hand over: check the amount and type it again");
    } else if (refusal.reason == Reason::badMethod) {
        say("'" + refusal.text + "' is not a way to pay: type cash, card or other");
    } else if (refusal.reason == Reason::noSuchCustomer) {
        say("No c" + customer + " has paid today: type receipt to see the last one");
    } else if (refusal.reason == Reason::alreadyVoid) {
        say("C" + customer + "'s sale is void already");
    } else if (refusal.reason == Reason::badReason) {
        say("A void's reason is at most 120 characters, without control or invisible characters");
    } else if (refusal.reason == Reason::noSuchSale || refusal.reason == Reason::saleOfClosedDay) {
        say("No sale " + refusal.text + " was paid today: type receipt to see the last one");
    } else {
        say("A void needs a reason, for example: void " + std::to_string(refusal.number) +
            " rang up twice");
    }
}

// An item the menu or the order does not have.
void ConsoleView::refusedItem(const Refusal& refusal, std::int32_t customer) {
    using Reason = Refusal::Reason;
    if (refusal.reason == Reason::noSuchMenuNumber) {
        say(std::string("There is no ") + spoken(refusal.kind) + " " +
            std::to_string(refusal.number) + ": the menu has " +
            (refusal.size == 0 ? std::string("none") : std::to_string(refusal.size)) +
            " (type menu).");
    } else if (refusal.reason == Reason::noSuchMenuName) {
        say(std::string("No ") + spoken(refusal.kind) + " on the menu begins with '" +
            refusal.text + "': type menu to see the " + spokenPlural(refusal.kind));
    } else if (refusal.reason == Reason::ambiguousMenuName) {
        say("'" + refusal.text + "' could be any of these " + spokenPlural(refusal.kind) + ": " +
            listed(refusal.names) + "; type more of the name");
    } else if (refusal.reason == Reason::badCount) {
        say("A count is from 1 to 99, for example: add 3 drink 2");
    } else if (refusal.reason == Reason::badLabel) {
        say("'" + refusal.text + "' is not a table's label: 1 to 16 letters, digits or -");
    } else {
        refusedInOrder(refusal, customer);
    }
}

// An item the order does not hold.
void ConsoleView::refusedInOrder(const Refusal& refusal, std::int32_t customer) {
    using Reason = Refusal::Reason;
    const std::string in = " in " + whose(refusal.order, customer);
    if (refusal.reason == Reason::noSuchOrderName) {
        say("There is no " + std::string(spoken(refusal.kind)) + " called '" + refusal.text + "'" +
            in + ": type cart to see it");
    } else if (refusal.reason == Reason::ambiguousOrderName) {
        say("'" + refusal.text + "' could be any of these " + spokenPlural(refusal.kind) + in +
            ": " + listed(refusal.names) + "; type more of the name");
    } else if (refusal.reason == Reason::namedTwice) {
        say("The split names " + std::string(spoken(refusal.kind)) + " " + refusal.text +
            " twice: name each item once");
    } else if (refusal.reason == Reason::noSuchPosition) {
        say(whoseCapitalised(refusal.order, customer) + " holds no " + spoken(refusal.kind) + " " +
            std::to_string(refusal.number) + ": type cart to see it");
    } else {
        say("Item " + refusal.text + " is not" + in + " now: type cart to see it");
    }
}
