#include "menu/Menu.h"

namespace {

template <typename Item>
std::vector<std::string> namesOf(std::vector<Item>& items) {
    std::vector<std::string> names;
    names.reserve(items.size());
    for (Item& item : items) {
        names.push_back(item.getName());
    }
    return names;
}

}  // namespace

std::vector<std::vector<std::string>> namesByKind(Menu menu) {
    return {namesOf(menu.maindishes), namesOf(menu.snacks), namesOf(menu.drinks)};
}

Menu builtinMenu() {
    return Menu{
        {
            {"Beef noodle soup", 12.5, 5.0},
            {"Fried rice with egg", 9.0, 3.5},
            {"Grilled salmon", 16.0, 7.5},
            {"Mushroom risotto", 13.0, 4.5},
        },
        {
            {"Spring rolls", 4.5, 1.5},
            {"French fries", 3.5, 0.8},
            {"Chicken nuggets", 5.0, 2.0},
            {"Onion rings", 4.0, 1.2},
        },
        {
            {"Orange juice", 3.0, 1.0},
            {"Green tea", 2.0, 0.3},
            {"Tomato soup", 4.5, 1.5},
            {"Lemonade", 2.5, 0.6},
        },
    };
}
