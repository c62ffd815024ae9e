#include "app/BuiltinDay.h"

Maindishlist builtinMaindishes() {
    return std::vector<Maindish>{
        {"Beef noodle soup", 12.5, 5.0},
        {"Fried rice with egg", 9.0, 3.5},
        {"Grilled salmon", 16.0, 7.5},
        {"Mushroom risotto", 13.0, 4.5},
    };
}

Snacklist builtinSnacks() {
    return std::vector<Snack>{
        {"Spring rolls", 4.5, 1.5},
        {"French fries", 3.5, 0.8},
        {"Chicken nuggets", 5.0, 2.0},
        {"Onion rings", 4.0, 1.2},
    };
}

Drinklist builtinDrinks() {
    return std::vector<Drink>{
        {"Orange juice", 3.0, 1.0},
        {"Green tea", 2.0, 0.3},
        {"Tomato soup", 4.5, 1.5},
        {"Lemonade", 2.5, 0.6},
    };
}

std::vector<std::string> demoCommands() {
    return {
        "menu", "add dish 1", "add snack 2", "add drink 3",   "add drink 9", "cart",
        "next", "add dish 3", "add dish 3",  "remove dish 2", "add drink 1", "add pizza 1",
        "cart", "next",       "add snack 4", "add drink 2",   "report",      "quit",
    };
}
