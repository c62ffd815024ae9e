#pragma once

#include <optional>

#include "menu/Menu.h"
#include "service/Commands.h"
#include "service/RuleContext.h"

// MenuRules are the rules of what the menu sells today, as pure functions:
// an item the kitchen ran out of is not sold until it is to be had again,
// and a number chosen from an older menu names nothing.
class MenuRules {
public:
    static Ruled soldOut(const RuleContext& context, const MarkSoldOut& command);
    // Returns why the number the add names may not be read on this menu: it
    // was chosen from another version.
    static std::optional<Refusal> stale(const RuleContext& context, const AddItems& command);
    // Returns why the item may not be added now, if it may not.
    static std::optional<Refusal> unsellable(const RuleContext& context, const AddItems& command,
                                             const MenuItem& item);
};
