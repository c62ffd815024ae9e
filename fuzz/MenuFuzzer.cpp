// Reads arbitrary bytes as a menu file. They give either problems, each on a
// line of the file and on one line of its own, or a menu whose CSV reads
// back to the same menu, with every name and amount as the file's rules say.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"

#include "menu/MenuFile.h"

namespace {

std::string csvOf(const Menu& menu) {
    std::ostringstream text;
    writeMenu(menu, text);
    return text.str();
}

std::size_t physicalLines(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n' ||
            (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
            ++lines;
        }
    }
    return lines;
}

template <typename Item>
void checkItems(std::vector<Item> items) {
    for (Item& item : items) {
        const std::string name = item.getName();
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(name.front() != ' ' && name.back() != ' ');
        for (char c : name) {
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
        }
        FUZZ_CHECK(std::isfinite(item.getPrice()) && item.getPrice() >= 0.0);
        FUZZ_CHECK(std::isfinite(item.getCost()) && item.getCost() >= 0.0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MenuReading reading = readMenu(text);
    if (!reading.problems.empty()) {
        FUZZ_CHECK(csvOf(reading.menu) == "kind,name,price,cost\n");
        for (const MenuProblem& problem : reading.problems) {
            FUZZ_CHECK(problem.line >= 1 && problem.line <= physicalLines(text));
            FUZZ_CHECK(!problem.text.empty());
            FUZZ_CHECK(problem.text.find_first_of("\r\n") == std::string::npos);
        }
        return 0;
    }
    checkItems(reading.menu.maindishes);
    checkItems(reading.menu.snacks);
    checkItems(reading.menu.drinks);
    const std::string written = csvOf(reading.menu);
    const MenuReading again = readMenu(written);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(csvOf(again.menu) == written);
    return 0;
}
