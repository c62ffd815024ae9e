#include "app/DemoDay.h"

std::vector<std::string> demoCommands() {
    return {
        "menu", "add dish 1", "add snack 2", "add drink 3",   "add drink 9", "cart",
        "next", "add dish 3", "add dish 3",  "remove dish 2", "add drink 1", "add pizza 1",
        "cart", "next",       "add snack 4", "add drink 2",   "report",      "quit",
    };
}
