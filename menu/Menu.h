#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Money.h"

// MenuItem is one thing the restaurant sells: its kind, its name, the price
// the customer pays and what it costs the restaurant, in cents.
struct MenuItem {
    ItemKind kind = ItemKind::dish;
    std::string name;
    Money price;
    Money cost;
    // The VAT rate its price contains, in hundredths of a percent, when the
    // menu gives one; else the till's own rate serves.
    std::optional<std::int64_t> vat = std::nullopt;
};

// Menu is what a restaurant sells: its main dishes, snacks and drinks, each
// kind in menu order, so that an item's serial number is its place in its
// kind plus one. It comes from the restaurant's menu file, by way of the
// journal, or is the built-in sample; nothing that uses it knows which.
class Menu {
public:
    // Appends the item to its kind.
    void add(MenuItem item);

    const std::vector<MenuItem>& of(ItemKind kind) const;
    // Returns how many items the menu holds in all.
    std::size_t size() const;

    bool operator==(const Menu& other) const;

private:
    std::array<std::vector<MenuItem>, 3> byKind;
};

// Returns the sample menu sold while the journal holds none.
Menu builtinMenu();
