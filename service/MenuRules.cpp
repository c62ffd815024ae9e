#include "service/MenuRules.h"

#include "service/ItemFinder.h"

Ruled MenuRules::soldOut(const RuleContext& context, const MarkSoldOut& command) {
    const auto chosen =
        ItemFinder(context.menu(), context.day()).onMenu(command.kind, command.item);
    if (chosen.index() == 1) {
        return std::get<Refusal>(chosen);
    }
    const MenuItem& item = *std::get<const MenuItem*>(chosen);
    Ruling ruling{{}, SoldOutMarked{command.kind, item.name, command.soldOut}};
    const bool marked = context.day().sofar().soldOut.count({command.kind, item.name}) != 0;
    if (marked != command.soldOut) {
        JournalEntry entry = context.entry(
            command.soldOut ? JournalEntry::Type::soldOut : JournalEntry::Type::available, "");
        entry.kind = command.kind;
        entry.name = item.name;
        ruling.entries.push_back(std::move(entry));
    }
    return ruling;
}

// A device that chose by number says from which menu; one chosen by name
// needs no version, for the name says what it is.
std::optional<Refusal> MenuRules::stale(const RuleContext& context, const AddItems& command) {
    if (command.item.number && command.menuVersion &&
        *command.menuVersion != context.menuVersion()) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::menuChanged);
        refused.number = context.menuVersion();
        return refused;
    }
    return std::nullopt;
}

std::optional<Refusal> MenuRules::unsellable(const RuleContext& context, const AddItems& command,
                                             const MenuItem& item) {
    if (context.day().sofar().soldOut.count({command.kind, item.name}) != 0) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::soldOut);
        refused.kind = command.kind;
        refused.text = item.name;
        return refused;
    }
    return std::nullopt;
}
