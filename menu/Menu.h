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
    // The course it is served in, and the station that makes it, when the
    // menu gives them; else the kind's, as defaultCourse and defaultStation
    // say.
    std::optional<std::int64_t> course = std::nullopt;
    std::optional<std::string> station = std::nullopt;
};

// Drinks come at once, course 0, from the bar; the rest is course 1, from
// the kitchen: a menu that names no course holds nothing back.
std::int64_t defaultCourse(ItemKind kind);
std::string defaultStation(ItemKind kind);
std::int64_t courseOf(const MenuItem& item);
std::string stationOf(const MenuItem& item);

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
