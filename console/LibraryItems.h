#pragma once

#include <string>

#include "accounts/Cart.h"
#include "base/ItemKind.h"
#include "base/Money.h"
#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"
#include "menu/Menu.h"

// The library's own classes made from the program's items, here alone: the
// library keeps its doubles, made from cents, and prints its own lines (the
// menus, the cart's order and its rejections).

// Puts the item into the cart's list of its kind.
void putInCart(Cart& cart, ItemKind kind, const std::string& name, Money price, Money cost);

// Returns the item's total cost as the library's kind works it out: the cost
// plus the kind's surcharge.
double libraryTotalCost(ItemKind kind, const std::string& name, Money price, Money cost);

// The menu of each kind as the library's lists, which print themselves.
struct LibraryMenus {
    explicit LibraryMenus(const Menu& menu);

    Maindishlist maindishes;
    Snacklist snacks;
    Drinklist drinks;
};
