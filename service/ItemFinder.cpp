#include "service/ItemFinder.h"

#include <algorithm>

#include "base/TableLabel.h"
#include "service/NameMatch.h"

namespace {

template <typename Value>
bool holds(const std::variant<Value, Refusal>& choice) {
    return choice.index() == 0;
}

}  // namespace

ItemFinder::ItemFinder(const Menu& menu, const DayReplay& day) : menu(menu), day(day) {}

std::variant<std::vector<std::size_t>, Refusal> ItemFinder::chosen(
    const std::string& order, const std::vector<ItemRef>& items) const {
    std::vector<std::size_t> picked;
    for (const ItemRef& item : items) {
        const auto found = inOrder(order, item);
        if (!holds(found)) {
            return std::get<Refusal>(found);
        }
        // Named twice, the item would be charged once where the waiter
        // meant two: a typo, not a choice.
        if (std::find(picked.begin(), picked.end(), std::get<std::size_t>(found)) != picked.end()) {
            return namedTwice(order, item);
        }
        picked.push_back(std::get<std::size_t>(found));
    }
    const OpenOrder& open = *day.order(order);
    if (picked.empty() || picked.size() == open.size()) {
        picked.clear();
        for (const auto& kind : open.items) {
            picked.insert(picked.end(), kind.begin(), kind.end());
        }
    }
    return picked;
}

Refusal ItemFinder::namedTwice(const std::string& order, const ItemRef& item) const {
    Refusal refused;
    refused.reason = Refusal::Reason::namedTwice;
    refused.kind = item.kind;
    refused.text = !item.id.empty()     ? item.id
                   : item.choice.number ? std::to_string(*item.choice.number)
                                        : item.choice.name;
    const OpenOrder* open = day.order(order);
    refused.order = open != nullptr ? open->label : order;
    return refused;
}

std::variant<const MenuItem*, Refusal> ItemFinder::onMenu(ItemKind kind,
                                                          const ItemChoice& item) const {
    const std::vector<MenuItem>& items = menu.of(kind);
    Refusal refused;
    refused.kind = kind;
    if (item.number) {
        if (*item.number >= 1 && static_cast<std::size_t>(*item.number) <= items.size()) {
            return &items[static_cast<std::size_t>(*item.number) - 1];
        }
        refused.reason = Refusal::Reason::noSuchMenuNumber;
        refused.number = *item.number;
        refused.size = items.size();
        return refused;
    }
    std::vector<std::string> names;
    names.reserve(items.size());
    for (const MenuItem& sale : items) {
        names.push_back(sale.name);
    }
    const NameMatch match(names, item.name);
    if (match.found()) {
        return &items[*match.found()];
    }
    refused.reason = match.candidates().empty() ? Refusal::Reason::noSuchMenuName
                                                : Refusal::Reason::ambiguousMenuName;
    refused.text = item.name;
    refused.names = match.candidates();
    return refused;
}

// An id names one item for as long as it is open: on another order, or
// gone, it is not the item the device saw there.
std::variant<std::size_t, Refusal> ItemFinder::byId(const std::string& order,
                                                    const std::string& id) const {
    const auto found = day.openItem(id);
    if (found && foldedLabel(found->second) == foldedLabel(order)) {
        return found->first;
    }
    Refusal refused;
    refused.reason = Refusal::Reason::noSuchItem;
    refused.text = id;
    const OpenOrder* open = day.order(order);
    refused.order = open != nullptr ? open->label : order;
    return refused;
}

// The items of a kind in an order, counted in the order they came; named,
// the last of that name.
std::variant<std::size_t, Refusal> ItemFinder::inOrder(const std::string& order,
                                                       const ItemRef& ref) const {
    if (!ref.id.empty()) {
        return byId(order, ref.id);
    }
    const ItemKind kind = ref.kind;
    const ItemChoice& item = ref.choice;
    const OpenOrder* open = day.order(order);
    static const std::vector<std::size_t> none;
    const std::vector<std::size_t>& held =
        open != nullptr ? open->items[static_cast<std::size_t>(kind)] : none;
    Refusal refused;
    refused.kind = kind;
    refused.order = open != nullptr ? open->label : order;
    if (item.number) {
        if (*item.number >= 1 && static_cast<std::size_t>(*item.number) <= held.size()) {
            return held[static_cast<std::size_t>(*item.number) - 1];
        }
        refused.reason = Refusal::Reason::noSuchPosition;
        refused.number = *item.number;
        refused.size = held.size();
        return refused;
    }
    std::vector<std::string> names;
    names.reserve(held.size());
    for (std::size_t at : held) {
        names.push_back(day.sofar().items[at].name);
    }
    const NameMatch match(names, item.name);
    if (match.found()) {
        return held[*match.found()];
    }
    refused.reason = match.candidates().empty() ? Refusal::Reason::noSuchOrderName
                                                : Refusal::Reason::ambiguousOrderName;
    refused.text = item.name;
    refused.names = match.candidates();
    return refused;
}
