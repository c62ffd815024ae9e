// Feeds arbitrary text to the till's console, a line at a time, and checks
// that it never crashes and that the day's closing report equals the report
// of a model that applies only the well-formed commands: counts, numbers,
// names, clear, tables, moves and split bills included, paid in cash with
// the cash counted, by card or otherwise; and void sales.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/CaptureBuffer.h"
#include "fuzz/ConsoleModel.h"
#include "fuzz/FuzzCheck.h"
#include "testing/CoutRedirect.h"

#include "base/Money.h"
#include "base/Text.h"
#include "console/Console.h"
#include "journal/MemoryJournal.h"

namespace {

using consolemodel::DayModel;
using consolemodel::kinds;
using consolemodel::Priced;

Menu fuzzMenu() {
    Menu menu;
    for (ItemKind kind : itemKinds) {
        for (const Priced& item : kinds[static_cast<std::size_t>(kind)]) {
            menu.add({kind, item.name, Money::fromCents(item.price), Money::fromCents(item.cost),
                      std::nullopt});
        }
    }
    return menu;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CaptureBuffer capture;
    CoutRedirect redirect(&capture);
    {
        MemoryJournal journal;
        Console console(fuzzMenu(), journal, [] { return Moment{0}; });
        console.start();
        DayModel model;

        const std::string text(reinterpret_cast<const char*>(data), size);
        std::istringstream lines(text);
        bool open = true;
        for (std::string line; open && std::getline(lines, line);) {
            capture.clear();
            const bool consoleOpen = console.handle(line);
            open = model.apply(line);
            FUZZ_CHECK(consoleOpen == open);
        }
        bool closed = !open;
        if (open) {  // the end of a script closes the day as quit does, tables aside
            capture.clear();
            console.finish();
            closed = model.finish();
            FUZZ_CHECK(console.exitStatus() == (closed ? 0 : 1));
        }
        // Whether by quit or at the end of input, a day that closed printed its report.
        const std::string said = capture.text();
        const std::string report = model.report();
        FUZZ_CHECK(std::cout.good());
        if (closed) {
            FUZZ_CHECK(said.size() >= report.size());
            FUZZ_CHECK(said.compare(said.size() - report.size(), report.size(), report) == 0);
        }
    }
    capture.clear();
    return 0;
}
