#pragma once

#include <array>
#include <optional>
#include <string_view>

// ItemKind names the three kinds of menu item, in the order a cart holds them.
enum class ItemKind { dish, snack, drink };

inline constexpr std::array<ItemKind, 3> itemKinds{ItemKind::dish, ItemKind::snack,
                                                   ItemKind::drink};

// Returns the word that names the kind in menu files, commands and the
// journal: dish, snack or drink.
std::string_view kindWord(ItemKind kind);

// Returns the kind a word names, in any letter case, or nothing.
std::optional<ItemKind> kindNamed(std::string_view word);
