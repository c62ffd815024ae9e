#pragma once

#include <string>
#include <string_view>

// A table's label, as staff write it on an order: 1 to 16 letters, digits or
// '-' ("5", "12b", "bar", "terrace-2"), compared ignoring letter case. The
// counter's order has the empty label, and "counter", which names it where
// orders are named by word, is no table's label in any letter case.

// Returns true when the text is a table's label.
bool isTableLabel(std::string_view text);

// Returns the label as labels compare: ASCII letters in lower case.
std::string foldedLabel(std::string_view label);
