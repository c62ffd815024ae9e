#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "menu/Menu.h"

// A restaurant's own menu as a CSV file, the format every spreadsheet saves.
//
// The first row names the columns kind, name, price and cost, in any order
// and letter case; other columns are ignored. Every later row is one item:
// its kind is dish, snack or drink, in any letter case; its name is not empty,
// holds no control or invisible character, and is not already used by another
// item of that kind (letter case and accents aside); its price and cost are
// decimal numbers in whole cents, from 0 to 1,000,000.00. The file is UTF-8,
// with or without a byte-order mark; the separator is ',', ';' or a tab,
// whichever the first row uses; a decimal comma is read where it cannot be
// a separator.

// MenuProblem is one thing wrong in a menu file: the physical line it is on,
// and what is wrong and how to mend it.
struct MenuProblem {
    std::size_t line;
    std::string text;
};

// MenuReading is what reading a menu file gives: the menu when there is no
// problem, else every problem and an empty menu.
struct MenuReading {
    Menu menu;
    std::vector<MenuProblem> problems;
};

// Reads a menu from the bytes of a menu file.
MenuReading readMenu(std::string_view text);

// Reads the menu file at `path`; a file that cannot be read is a problem.
MenuReading readMenuFile(const std::string& path);

// Writes the menu as a menu file, with the columns kind, name, price and cost
// and amounts in their shortest form, so that readMenu gives the same menu
// back.
void writeMenu(const Menu& menu, std::ostream& out);

// Returns one line per problem, as "FILE:LINE: what is wrong", the first
// `shown` of them, then one line that says how many more there are.
std::vector<std::string> describeProblems(const std::string& file,
                                          const std::vector<MenuProblem>& problems,
                                          std::size_t shown = 20);
