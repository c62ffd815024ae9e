#include "reports/TextColumns.h"

#include <algorithm>

#include "base/Text.h"

void TextColumns::print(std::ostream& out, const std::vector<Cells>& lines, std::size_t left) {
    std::vector<std::size_t> widths(lines.front().size());
    for (const Cells& line : lines) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], displayWidth(line[column]));
        }
    }
    for (const Cells& line : lines) {
        std::string text;
        for (std::size_t column = 0; column < widths.size(); ++column) {
            text +=
                (column == 0 ? "" : "  ") + (column < left ? padRight(line[column], widths[column])
                                                           : padLeft(line[column], widths[column]));
        }
        out << text << '\n';
    }
}
