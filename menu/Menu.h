#pragma once

#include <string>
#include <vector>

#include "items/Drink.h"
#include "items/Maindish.h"
#include "items/Snack.h"

// Menu is what a restaurant sells: its main dishes, snacks and drinks, each
// kind in menu order, so an item's serial number is its place in its vector
// plus one. It comes from the restaurant's menu file or is the built-in one;
// nothing that uses it knows which.
struct Menu {
    std::vector<Maindish> maindishes;
    std::vector<Snack> snacks;
    std::vector<Drink> drinks;
};

// Returns the menu served when no menu file is given.
Menu builtinMenu();

// Returns the names of the menu's items, by kind: main dishes, snacks,
// drinks. Items answer only non-const questions, so it takes a copy.
std::vector<std::vector<std::string>> namesByKind(Menu menu);
