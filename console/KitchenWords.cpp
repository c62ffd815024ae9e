#include "console/KitchenWords.h"

#include "base/ItemKind.h"
#include "base/LocalTime.h"
#include "console/ConsoleView.h"

namespace {

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string items(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " item" : " items");
}

}  // namespace

KitchenWords::KitchenWords(std::ostream& out) : out(out) {}

void KitchenWords::sent(const Sent& sent, std::int32_t customer) {
    std::string line = sent.course == 0 ? "Sent " + ConsoleView::whose(sent.order, customer)
                                        : "Fired course " + std::to_string(sent.course) + " of " +
                                              ConsoleView::whose(sent.order, customer);
    for (std::size_t at = 0; at < sent.tickets.size(); ++at) {
        const TicketMade& ticket = sent.tickets[at];
        line += (at == 0 ? ": ticket " : ", ticket ") + std::to_string(ticket.number) + " to " +
                ticket.station + " (" + items(ticket.items) + ")";
    }
    out << line << std::endl;
}

void KitchenWords::reprinted(const TicketMarked& queued) {
    out << "Ticket " << queued.ticket << " goes to the " << queued.station
        << " printer again, headed COPY" << std::endl;
}

bool KitchenWords::refused(const Refusal& refusal, std::int32_t customer) {
    using Reason = Refusal::Reason;
    const std::string ticket = "icket " + std::to_string(refusal.number);
    if (refusal.reason == Reason::badNote) {
        out << "A note is at most 60 characters, without control or invisible characters";
    } else if (refusal.reason == Reason::nothingToSend) {
        out << capitalised(ConsoleView::whose(refusal.order, customer))
            << " has nothing new to send: every item went to its station already";
    } else if (refusal.reason == Reason::nothingHeld) {
        out << capitalised(ConsoleView::whose(refusal.order, customer))
            << " holds nothing of course " << refusal.number << " waiting to be fired";
    } else if (refusal.reason == Reason::noSuchTicket) {
        out << "No t" << ticket << " was sent today: tickets are numbered from 1 as orders go";
    } else if (refusal.reason == Reason::notOnTicket) {
        out << "T" << ticket << " holds no item " << refusal.text;
    } else if (refusal.reason == Reason::noPrinter) {
        out << "The " << refusal.text
            << " has no printer: set one with restaurant settings printer." << refusal.text
            << " tcp://HOST:9100";
    } else if (refusal.reason == Reason::soldOut) {
        out << refusal.text << " is sold out: restaurant available " << kindWord(refusal.kind)
            << " " << refusal.text << " brings it back";
    } else if (refusal.reason == Reason::menuChanged) {
        out << "The menu changed: type menu to see it as it is now";
    } else {
        return false;
    }
    out << std::endl;
    return true;
}

void KitchenWords::printers(const std::shared_ptr<const std::map<std::string, Moment>>& offline) {
    if (!offline || offline == said) {
        return;
    }
    for (const auto& [station, since] : *offline) {
        if (!said || said->count(station) == 0) {
            out << printerLine(station, since) << std::endl;
        }
    }
    if (said) {
        for (const auto& [station, since] : *said) {
            if (offline->count(station) == 0) {
                out << printerLine(station, std::nullopt) << std::endl;
            }
        }
    }
    said = offline;
}

std::string KitchenWords::printerLine(const std::string& station,
                                      std::optional<Moment> offlineSince) {
    if (!offlineSince) {
        return station + " printer is back online";
    }
    return station + " printer offline since " + localTime(*offlineSince, "%H:%M");
}
