#pragma once

#include "service/Commands.h"
#include "service/RuleContext.h"

// OrderRules are the rules of open orders, as pure functions: the day as it
// stands and a command give the entries that carry it out, or the refusal
// that says why nothing may change. An order opens, with its sale id, when
// its first item goes in, and closes when it is paid or emptied.
class OrderRules {
public:
    static constexpr int mostCopies = 99;

    static Ruled add(const RuleContext& context, const AddItems& command);
    static Ruled remove(const RuleContext& context, const RemoveItem& command);
    static Ruled clear(const RuleContext& context, const ClearOrder& command);
    // Moves the items named, all of them or none, to another order, opened
    // for them when it is not open.
    static Ruled move(const RuleContext& context, const MoveItems& command);

private:
    static JournalEntry addedEntry(const RuleContext& context, const AddItems& command,
                                   const MenuItem& sale);
    static std::variant<std::vector<std::size_t>, Refusal> moved(const RuleContext& context,
                                                                 const MoveItems& command);
    // The entry that opens the order under a new sale id, when it is not open.
    static void openIfClosed(const RuleContext& context, const std::string& label,
                             std::vector<JournalEntry>& entries);
};
