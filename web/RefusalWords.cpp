#include "web/RefusalWords.h"

#include "base/ItemKind.h"
#include "web/DayJson.h"

// A table of reasons, each to its status.
// NOLINTNEXTLINE(readability-function-size)
int RefusalWords::status(Refusal::Reason reason) {
    using Reason = Refusal::Reason;
    switch (reason) {
        case Reason::noSuchMenuNumber:
        case Reason::noSuchMenuName:
        case Reason::noSuchOrderName:
        case Reason::noSuchPosition:
        case Reason::noSuchCustomer:
        case Reason::noSuchSale:
        case Reason::noSuchTicket:
            return 404;
        case Reason::emptyOrder:
        case Reason::ordersOpen:
        case Reason::alreadyVoid:
        case Reason::dayOver:
        case Reason::noSuchItem:
        case Reason::saleOfClosedDay:
        case Reason::nothingToSend:
        case Reason::nothingHeld:
        case Reason::notOnTicket:
        case Reason::noPrinter:
        case Reason::totalChanged:
        case Reason::badParts:
        case Reason::soldOut:
        case Reason::menuChanged:
            return 409;
        case Reason::managerNeeded:
        case Reason::wrongApproval:
        case Reason::kitchenOnly:
            return 403;
        case Reason::keyReused:
            return 422;
        case Reason::journalRefused:
        case Reason::outOfMemory:
        case Reason::memoryLost:
            return 503;
        case Reason::ambiguousMenuName:
        case Reason::ambiguousOrderName:
        case Reason::badCount:
        case Reason::badLabel:
        case Reason::sameOrder:
        case Reason::notEnough:
        case Reason::givenTooMuch:
        case Reason::namedTwice:
        case Reason::badMethod:
        case Reason::noReason:
        case Reason::badReason:
        case Reason::badNote:
        case Reason::badDiscount:
        case Reason::badAmount:
        case Reason::needsReason:
        case Reason::partsTooMuch:
            return 400;
    }
    return 400;
}

// A table of words, one line per reason.
// NOLINTNEXTLINE(readability-function-size)
std::string RefusalWords::message(const Refusal& refusal) {
    using Reason = Refusal::Reason;
    const std::string kind(kindWord(refusal.kind));
    const std::string order = DayJson::orderName(refusal.order);
    const std::string number = std::to_string(refusal.number);
    switch (refusal.reason) {
        case Reason::noSuchMenuNumber:
            return "there is no " + kind + " " + number + " on the menu";
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
        case Reason::noSuchItem:
            return order + " holds no item " + refusal.text +
                   " now: it was moved, paid or removed meanwhile";
        case Reason::emptyOrder:
            return order + " is empty: there is nothing to pay, move or clear";
        case Reason::sameOrder:
            return "that item is on " + order + " already";
        case Reason::ordersOpen:
            return "orders are still open: pay, move or clear them first";
        case Reason::notEnough:
            return "the cash given is less than the " + refusal.due.twoDecimals() + " to pay";
        case Reason::givenTooMuch:
            return "the cash given is more than " + refusal.due.twoDecimals() +
                   ": check the amount";
        case Reason::namedTwice:
            return "the split names " + refusal.text + " twice: name each item once";
        case Reason::badMethod:
            return "pay by cash, card or other";
        case Reason::noSuchCustomer:
            return "no customer " + number + " has paid today";
        case Reason::noSuchSale:
            return "there is no sale " + refusal.text;
        case Reason::saleOfClosedDay:
            return "day " + number + " is closed";
        case Reason::alreadyVoid:
            return "customer " + number + "'s sale is void already";
        case Reason::noReason:
            return "a void needs a reason";
        case Reason::badReason:
            return voidReasonRule;
        case Reason::keyReused:
            return "that Idempotency-Key came before with another request: send a new key";
        case Reason::journalRefused:
            return "the journal refused the change: " + refusal.text + "; nothing changed";
        case Reason::outOfMemory:
            return "the till ran out of memory; nothing changed";
        case Reason::memoryLost:
            return "the till could not read its day again; nothing changed";
        case Reason::dayOver:
            return "the day is closed";
        case Reason::badNote:
            return noteRule;
        case Reason::nothingToSend:
            return order + " has nothing new to send";
        case Reason::nothingHeld:
            return order + " holds nothing of course " + number + " waiting to be fired";
        case Reason::noSuchTicket:
            return "there is no ticket " + number + " of items today";
        case Reason::notOnTicket:
            return "ticket " + number + " holds no item " + refusal.text;
        case Reason::noPrinter:
            return "the " + refusal.text + " has no printer";
        case Reason::managerNeeded:
            return "a " + refusal.text + " needs a manager's approval";
        case Reason::wrongApproval:
            return "the approval needs a manager's name and PIN";
        case Reason::kitchenOnly:
            return "the kitchen's staff may only mark tickets ready and dishes sold out";
        case Reason::badDiscount:
            return "a discount is a percentage from 0.01 to 100, or an amount up to " +
                   refusal.due.twoDecimals();
        case Reason::badAmount:
            return "'" + refusal.given.twoDecimals() + "' is no amount for " + refusal.text;
        case Reason::needsReason:
            return "give a reason of plain text, 120 characters at most";
        case Reason::totalChanged:
            return "the bill comes to " + refusal.due.twoDecimals() + " now, not " +
                   refusal.given.twoDecimals();
        case Reason::badParts:
            return "split into 2 to 20 parts, before any part is paid";
        case Reason::soldOut:
            return refusal.text + " is sold out";
        case Reason::menuChanged:
            return "the menu changed: choose again from the menu as it is now";
        case Reason::partsTooMuch:
            return "the parts come to " + refusal.given.twoDecimals() +
                   ", and must leave some of the bill of " + refusal.due.twoDecimals();
    }
    return "the change was refused";
}
