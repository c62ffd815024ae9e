#pragma once

#include <string_view>

// A station is where an item is made, kitchen or bar or any word the menu
// gives: a printer setting is named after it (printer.kitchen), so it is one
// word of 1 to 20 ASCII letters, digits or '-', kept in lower case.

// Returns true when the word, in lower case, names a station.
bool isStationWord(std::string_view word);
