// Reads arbitrary bytes as a menu file. They give either problems, each on a
// line of the file and on one line of its own, or a menu whose CSV reads
// back to the same menu, with every name and amount as the file's rules say.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"

#include "base/Text.h"
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

void checkItems(const std::vector<MenuItem>& items) {
    const Money most = Money::fromCents(100'000'000);
    for (const MenuItem& item : items) {
        FUZZ_CHECK(!item.name.empty());
        FUZZ_CHECK(item.name.front() != ' ' && item.name.back() != ' ');
        FUZZ_CHECK(isUtf8(item.name));
        FUZZ_CHECK(!forbiddenInName(item.name));
        FUZZ_CHECK(item.price >= Money() && item.price <= most);
        FUZZ_CHECK(item.cost >= Money() && item.cost <= most);
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
    for (ItemKind kind : itemKinds) {
        checkItems(reading.menu.of(kind));
    }
    const std::string written = csvOf(reading.menu);
    const MenuReading again = readMenu(written);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(again.menu == reading.menu);
    return 0;
}
