#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "base/Money.h"

// ItemKind names the three kinds of menu item, in the order a cart holds them.
enum class ItemKind { dish, snack, drink };

inline constexpr std::array<ItemKind, 3> itemKinds{ItemKind::dish, ItemKind::snack,
                                                   ItemKind::drink};

// Returns the word that names the kind in menu files, commands and the
// journal: dish, snack or drink.
std::string_view kindWord(ItemKind kind);

// Returns the kind a word names, in any letter case, or nothing.
std::optional<ItemKind> kindNamed(std::string_view word);

// Returns the fixed surcharge a kind adds to an item's cost, as the
// library's kinds add it: 3.00 for a main dish, 2.00 for a snack, 1.00 for a
// drink.
Money surchargeOf(ItemKind kind);
