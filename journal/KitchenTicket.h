#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Moment.h"

// KitchenTicket is what one station is told of an order at once: the items
// a send gives it to cook, a course fired, or items voided or moved after
// they were sent. Numbered through the day, each station's ticket its own.
struct KitchenTicket {
    std::int64_t number = 0;
    std::string station;
    // The order's label; "" for the counter's.
    std::string label;
    std::string staff;
    Moment at = 0;
    // FIRE, VOID or MOVED; empty for a ticket that sends items.
    std::string heading;
    // The course a FIRE ticket fires.
    std::int64_t course = 0;
    // The table a MOVED ticket's items went to.
    std::string movedTo;
    // The items on it, by the seq of the entry that added each.
    std::vector<std::int64_t> items;
};

// TicketLine is one item as a printed ticket shows it.
struct TicketLine {
    std::string name;
    std::string note;
    // Sent, but not to cook until its course is fired.
    bool held = false;
};

// PrintJob is a ticket waiting in the print queue of its station's printer,
// its lines as they were when it was queued. `started` says its bytes began
// to go to the printer, which acknowledges nothing: printed again, it is
// headed COPY, as is a reprint.
struct PrintJob {
    std::int64_t id = 0;
    std::int32_t day = 0;
    KitchenTicket ticket;
    std::vector<TicketLine> lines;
    bool copy = false;
    bool started = false;
};
