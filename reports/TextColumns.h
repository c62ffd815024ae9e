#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// TextColumns prints rows of cells in columns two spaces apart, as the
// reports' tables are: the first columns aligned left, the others right,
// as numbers are, each as wide as its widest cell on the screen.
class TextColumns {
public:
    using Cells = std::vector<std::string>;

    // Prints `lines`, whose first `left` columns align left.
    static void print(std::ostream& out, const std::vector<Cells>& lines, std::size_t left);
};
