#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "base/ItemKind.h"
#include "journal/DayReplay.h"
#include "menu/Menu.h"
#include "service/Commands.h"
#include "service/Refusal.h"

// ItemFinder finds the items a command names, on the menu or in an open
// order, by number, by the words of a name or by id, or says why there is
// none.
class ItemFinder {
public:
    // The menu and the day must outlive the finder.
    ItemFinder(const Menu& menu, const DayReplay& day);

    // Returns the menu item a choice names.
    std::variant<const MenuItem*, Refusal> onMenu(ItemKind kind, const ItemChoice& item) const;
    // Returns where the item named in an order is among the day's items: by
    // id, the item of that id, if the order holds it; by number, its place
    // among the order's items of the kind; by name, the last of that name.
    std::variant<std::size_t, Refusal> inOrder(const std::string& order, const ItemRef& ref) const;
    // Returns the items named, each once, in the order named; all of the
    // order's when none is named, or when all are. The order must be open.
    std::variant<std::vector<std::size_t>, Refusal> chosen(const std::string& order,
                                                           const std::vector<ItemRef>& items) const;

private:
    std::variant<std::size_t, Refusal> byId(const std::string& order, const std::string& id) const;
    Refusal namedTwice(const std::string& order, const ItemRef& item) const;

    const Menu& menu;
    const DayReplay& day;
};
