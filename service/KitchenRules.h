#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "service/Commands.h"
#include "service/RuleContext.h"

// KitchenRules are the rules of the kitchen's tickets, as pure functions:
// sending an order's items, one ticket for each station they reach; firing
// a held course; the kitchen marking items ready or bringing a ticket back;
// and the VOID and MOVED tickets that follow a change to an item already
// sent. Tickets are numbered through the day.
class KitchenRules {
public:
    static constexpr std::size_t longestNote = 60;

    static Ruled send(const RuleContext& context, const SendOrder& command);
    static Ruled fire(const RuleContext& context, const FireCourse& command);
    static Ruled ready(const RuleContext& context, const MarkReady& command);
    static Ruled recall(const RuleContext& context, const RecallTicket& command);

    // Appends, before a payment, the tickets that send the items not sent
    // yet and fire those held, so that what is paid reaches the kitchen.
    static void sendAndFire(const RuleContext& context, const std::vector<std::size_t>& items,
                            const std::string& label, std::vector<JournalEntry>& entries);
    // Appends the VOID or MOVED tickets that tell the stations of the items
    // already sent among those; `movedTo` names where MOVED items went.
    static void changed(const RuleContext& context, const std::vector<std::size_t>& items,
                        const std::string& label, const std::string& movedTo,
                        std::vector<JournalEntry>& entries);

    // Returns the job that prints the ticket as the day now has it; a copy
    // is headed COPY.
    static PrintJob printed(const DayReplay& day, const KitchenTicket& ticket, bool copy);

private:
    struct Heading {
        std::string text;
        std::int64_t course = 0;
        std::string movedTo;
    };
    // Appends the tickets that tell each station of the items (places in
    // the day's items) under the heading, one a station in the order the
    // items come; returns what they are.
    static std::vector<TicketMade> made(const RuleContext& context,
                                        const std::vector<std::size_t>& items,
                                        const std::string& label, const Heading& heading,
                                        std::vector<JournalEntry>& entries);
    // Returns the items of the open order that pass the test.
    template <typename Test>
    static std::vector<std::size_t> itemsOf(const RuleContext& context, const OpenOrder& order,
                                            Test test);
};
