#include "service/OrderRules.h"

#include <algorithm>
#include <utility>

#include "base/TableLabel.h"
#include "base/Text.h"
#include "service/ItemFinder.h"
#include "service/KitchenRules.h"
#include "service/MenuRules.h"

namespace {

template <typename Value>
bool holds(const std::variant<Value, Refusal>& found) {
    return found.index() == 0;
}

}  // namespace

void OrderRules::openIfClosed(const RuleContext& context, const std::string& label,
                              std::vector<JournalEntry>& entries) {
    if (context.day().order(label) == nullptr) {
        entries.push_back(context.entry(JournalEntry::Type::order, label));
        entries.back().saleId = context.newSaleId();
    }
}

Ruled OrderRules::add(const RuleContext& context, const AddItems& command) {
    if (std::optional<Refusal> refused = context.badLabel(command.order)) {
        return *refused;
    }
    if (command.count < 1 || command.count > mostCopies) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::badCount);
        refused.number = command.count;
        return refused;
    }
    if (!command.note.empty() && !isFreeText(command.note, KitchenRules::longestNote)) {
        return RuleContext::refusal(Refusal::Reason::badNote);
    }
    if (std::optional<Refusal> refused = MenuRules::stale(context, command)) {
        return *refused;
    }
    const auto chosen =
        ItemFinder(context.menu(), context.day()).onMenu(command.kind, command.item);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const MenuItem& sale = *std::get<const MenuItem*>(chosen);
    if (std::optional<Refusal> refused = MenuRules::unsellable(context, command, sale)) {
        return *refused;
    }
    Ruling ruling{{},
                  Added{context.spelled(command.order), context.day().nextCustomer(), sale.name,
                        command.count}};
    ruling.entries.reserve(static_cast<std::size_t>(command.count) + 1);
    openIfClosed(context, command.order, ruling.entries);
    ruling.entries.insert(ruling.entries.end(), static_cast<std::size_t>(command.count),
                          addedEntry(context, command, sale));
    return ruling;
}

// The item by value, so that the day never changes with the menu.
JournalEntry OrderRules::addedEntry(const RuleContext& context, const AddItems& command,
                                    const MenuItem& sale) {
    JournalEntry added = context.entry(JournalEntry::Type::add, command.order);
    added.kind = command.kind;
    added.name = sale.name;
    added.price = sale.price;
    added.cost = sale.cost;
    added.vat = sale.vat.value_or(context.vat());
    added.course = courseOf(sale);
    added.station = stationOf(sale);
    if (!command.note.empty()) {
        added.note = command.note;
    }
    return added;
}

Ruled OrderRules::remove(const RuleContext& context, const RemoveItem& command) {
    if (std::optional<Refusal> refused = context.badLabel(command.order)) {
        return *refused;
    }
    const auto chosen =
        ItemFinder(context.menu(), context.day()).inOrder(command.order, command.item);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const JournalItem& taken = context.day().sofar().items[std::get<std::size_t>(chosen)];
    Ruling ruling{
        {}, Removed{context.spelled(command.order), context.day().nextCustomer(), taken.name}};
    KitchenRules::changed(context, {std::get<std::size_t>(chosen)}, context.spelled(command.order),
                          "", ruling.entries);
    ruling.entries.push_back(context.entry(JournalEntry::Type::remove, ""));
    ruling.entries.back().item = taken.entry;
    return ruling;
}

Ruled OrderRules::clear(const RuleContext& context, const ClearOrder& command) {
    const auto found = context.openOrder(command.order);
    if (found.index() == 1) {
        return std::get<Refusal>(found);
    }
    const OpenOrder* open = std::get<const OpenOrder*>(found);
    Ruling ruling{{}, Cleared{open->label, context.day().nextCustomer(), open->size()}};
    std::vector<std::size_t> all;
    for (const auto& kind : open->items) {
        all.insert(all.end(), kind.begin(), kind.end());
    }
    KitchenRules::changed(context, all, open->label, "", ruling.entries);
    for (const auto& kind : open->items) {
        for (std::size_t at : kind) {
            ruling.entries.push_back(context.entry(JournalEntry::Type::remove, ""));
            ruling.entries.back().item = context.day().sofar().items[at].entry;
        }
    }
    return ruling;
}

// The items a move takes: those named, each once in the order named, or
// every item of the order.
std::variant<std::vector<std::size_t>, Refusal> OrderRules::moved(const RuleContext& context,
                                                                  const MoveItems& command) {
    std::vector<std::size_t> moving;
    if (command.all) {
        if (const OpenOrder* open = context.day().order(command.order)) {
            for (const auto& kind : open->items) {
                moving.insert(moving.end(), kind.begin(), kind.end());
            }
        }
        return moving;
    }
    const ItemFinder finder(context.menu(), context.day());
    for (const ItemRef& item : command.items) {
        const auto found = finder.inOrder(command.order, item);
        if (!holds(found)) {
            return std::get<Refusal>(found);
        }
        if (std::find(moving.begin(), moving.end(), std::get<std::size_t>(found)) == moving.end()) {
            moving.push_back(std::get<std::size_t>(found));
        }
    }
    return moving;
}

// Each item named moves once, in the order named; the item it moves is
// named by the entry that added it, so that it keeps its id.
Ruled OrderRules::move(const RuleContext& context, const MoveItems& command) {
    for (const std::string& label : {command.order, command.to}) {
        if (std::optional<Refusal> refused = context.badLabel(label)) {
            return *refused;
        }
    }
    if (foldedLabel(command.order) == foldedLabel(command.to)) {
        Refusal refused = RuleContext::refusal(Refusal::Reason::sameOrder);
        refused.order = context.spelled(command.order);
        return refused;
    }
    auto chosen = moved(context, command);
    if (!holds(chosen)) {
        return std::get<Refusal>(chosen);
    }
    const std::vector<std::size_t>& moving = std::get<0>(chosen);
    if (moving.empty()) {
        return context.emptyOrder(command.order);
    }
    const std::vector<JournalItem>& items = context.day().sofar().items;
    Ruling ruling{{},
                  Moved{items[moving.front()].name, moving.size(), context.spelled(command.order),
                        context.spelled(command.to), context.day().nextCustomer()}};
    openIfClosed(context, command.to, ruling.entries);
    KitchenRules::changed(context, moving, context.spelled(command.order),
                          context.spelled(command.to), ruling.entries);
    for (std::size_t at : moving) {
        ruling.entries.push_back(context.entry(JournalEntry::Type::move, command.to));
        ruling.entries.back().item = items[at].entry;
    }
    return ruling;
}
