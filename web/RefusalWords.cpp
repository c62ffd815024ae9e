#include "web/RefusalWords.h"

#include "base/ItemKind.h"
#include "web/DayJson.h"

int RefusalWords::status(Refusal::Reason reason) {
    using Reason = Refusal::Reason;
    switch (reason) {
        case Reason::noSuchMenuNumber:
        case Reason::noSuchMenuName:
        case Reason::noSuchOrderName:
        case Reason::noSuchPosition:
        case Reason::noSuchCustomer:
            return 404;
        case Reason::emptyOrder:
        case Reason::ordersOpen:
        case Reason::alreadyVoid:
        case Reason::dayOver:
            return 409;
        case Reason::journalRefused:
        case Reason::memoryLost:
            return 503;
        default:
            return 400;
    }
}

std::string RefusalWords::message(const Refusal& refusal) {
    using Reason = Refusal::Reason;
    const std::string kind(kindWord(refusal.kind));
    const std::string order = DayJson::orderName(refusal.order);
    switch (refusal.reason) {
        case Reason::noSuchMenuNumber:
            return "there is no " + kind + " " + std::to_string(refusal.number) + " on the menu";
        case Reason::noSuchMenuName:
            return "no " + kind + " on the menu begins with '" + refusal.text + "'";
        case Reason::ambiguousMenuName:
        case Reason::ambiguousOrderName:
            return "'" + refusal.text + "' could be more than one " + kind +
                   ": give more of the name";
        case Reason::badCount:
            return "the count must be from 1 to 99";
        case Reason::badLabel:
            return "'" + refusal.text + "' is not a table's label: 1 to 16 letters, digits or -";
        case Reason::noSuchPosition:
        case Reason::noSuchOrderName:
            return order + " holds no such " + kind;
        case Reason::emptyOrder:
            return order + " is empty: there is nothing to pay or clear";
        case Reason::sameOrder:
            return "that item is on " + order + " already";
        case Reason::ordersOpen:
            return "orders are still open: pay, move or clear them first";
        case Reason::notEnough:
            return "the cash given is less than the " + refusal.due.twoDecimals() + " to pay";
        case Reason::badMethod:
            return "pay by cash, card or other";
        case Reason::noSuchCustomer:
            return "no customer " + std::to_string(refusal.number) + " has paid today";
        case Reason::alreadyVoid:
            return "customer " + std::to_string(refusal.number) + "'s sale is void already";
        case Reason::noReason:
            return "a void needs a reason";
        case Reason::journalRefused:
            return "the journal refused the change: " + refusal.text + "; nothing changed";
        default:
            return "the day is closed";
    }
}
