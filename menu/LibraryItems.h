#pragma once

#include <string>

#include "accounts/Cart.h"
#include "base/ItemKind.h"
#include "base/Money.h"
#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"
#include "menu/Menu.h"

// The library's own classes made from the program's items: the library keeps
// its doubles, made from cents, and prints its own lines.

// Puts the item into the cart's list of its kind.
void putInCart(Cart& cart, ItemKind kind, const std::string& name, Money price, Money cost);

// Returns the item's total cost as the library's kind works it out: the cost
// plus the kind's surcharge.
double libraryTotalCost(ItemKind kind, const std::string& name, Money price, Money cost);

// Returns the fixed surcharge the library's kind adds to an item's cost:
// 3.00 for a main dish, 2.00 for a snack, 1.00 for a drink.
Money surchargeOf(ItemKind kind);

// The menu of each kind as the library's lists, which print themselves.
struct LibraryMenus {
    explicit LibraryMenus(const Menu& menu);

    Maindishlist maindishes;
    Snacklist snacks;
    Drinklist drinks;
};
