#include "menu/Menu.h"

#include <utility>

namespace {

std::size_t indexOf(ItemKind kind) { return static_cast<std::size_t>(kind); }

bool same(const MenuItem& a, const MenuItem& b) {
    return a.kind == b.kind && a.name == b.name && a.price == b.price && a.cost == b.cost &&
           a.vat == b.vat && courseOf(a) == courseOf(b) && stationOf(a) == stationOf(b);
}

}  // namespace

std::int64_t defaultCourse(ItemKind kind) { return kind == ItemKind::drink ? 0 : 1; }

std::string defaultStation(ItemKind kind) { return kind == ItemKind::drink ? "bar" : "kitchen"; }

std::int64_t courseOf(const MenuItem& item) {
    return item.course.value_or(defaultCourse(item.kind));
}

std::string stationOf(const MenuItem& item) {
    return item.station.value_or(defaultStation(item.kind));
}

void Menu::add(MenuItem item) {
    std::vector<MenuItem>& items = byKind[indexOf(item.kind)];
    items.push_back(std::move(item));
}

const std::vector<MenuItem>& Menu::of(ItemKind kind) const { return byKind[indexOf(kind)]; }

std::size_t Menu::size() const { return byKind[0].size() + byKind[1].size() + byKind[2].size(); }

bool Menu::operator==(const Menu& other) const {
    for (std::size_t kind = 0; kind < byKind.size(); ++kind) {
        const auto& mine = byKind[kind];
        const auto& theirs = other.byKind[kind];
        if (mine.size() != theirs.size()) {
            return false;
        }
        for (std::size_t at = 0; at < mine.size(); ++at) {
            if (!same(mine[at], theirs[at])) {
                return false;
            }
        }
    }
    return true;
}

Menu builtinMenu() {
    struct Row {
        ItemKind kind;
        const char* name;
        std::int64_t price;
        std::int64_t cost;
    };
    static const Row rows[] = {
        {ItemKind::dish, "Beef noodle soup", 1250, 500},
        {ItemKind::dish, "Fried rice with egg", 900, 350},
        {ItemKind::dish, "Grilled salmon", 1600, 750},
        {ItemKind::dish, "Mushroom risotto", 1300, 450},
        {ItemKind::snack, "Spring rolls", 450, 150},
        {ItemKind::snack, "French fries", 350, 80},
        {ItemKind::snack, "Chicken nuggets", 500, 200},
        {ItemKind::snack, "Onion rings", 400, 120},
        {ItemKind::drink, "Orange juice", 300, 100},
        {ItemKind::drink, "Green tea", 200, 30},
        {ItemKind::drink, "Tomato soup", 450, 150},
        {ItemKind::drink, "Lemonade", 250, 60},
    };
    Menu menu;
    for (const Row& row : rows) {
        menu.add({row.kind, row.name, Money::fromCents(row.price), Money::fromCents(row.cost),
                  std::nullopt});
    }
    return menu;
}
