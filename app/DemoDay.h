#pragma once

#include <string>
#include <vector>

#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"

// The restaurant's built-in menus and the commands of a demonstration day.

Maindishlist builtinMaindishes();
Snacklist builtinSnacks();
Drinklist builtinDrinks();

// Returns the commands that `restaurant --demo` replays: several customers,
// a few mistakes, and the day's report.
std::vector<std::string> demoCommands();
