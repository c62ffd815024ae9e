#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/TableLabel.h"
#include "journal/DayReplay.h"
#include "menu/Menu.h"
#include "service/DayRules.h"

// RandomDay drives the day's rules by themselves, without a journal or a
// writer: random commands from several devices, each ruling's entries
// numbered and taken by the day as the writer would take them. Some sales
// are made as an older till made them, without a payment method.
class RandomDay {
public:
    RandomDay(std::uint32_t seed, Moment openedAt);

    // Carries out `commands` random commands; returns the day they make.
    const DayReplay& run(int commands);
    const Menu& menu() const;
    // Returns how many items moved, and how many of them the day no longer
    // found by their id on the order they moved to.
    int moves() const;
    int lostOnTheWay() const;

private:
    DayCommand randomCommand();
    void take(Ruling& ruling);
    std::string randomOrder();
    std::vector<ItemRef> someItemsOf(const std::string& order);

    std::mt19937 random;
    Menu sold;
    DayReplay day;
    Moment now;
    std::int64_t seq = 0;
    int moved = 0;
    int lost = 0;
};

inline Menu randomDayMenu() {
    Menu menu;
    const std::vector<std::tuple<ItemKind, const char*, std::int64_t, std::int64_t, std::int64_t>>
        items = {{ItemKind::dish, "Beef noodle soup", 1250, 500, 700},
                 {ItemKind::dish, "Grilled salmon", 1600, 750, 1900},
                 {ItemKind::dish, "Banquet for ten", 246913, 120000, 1900},
                 {ItemKind::snack, "Spring rolls", 450, 150, 700},
                 {ItemKind::snack, "Tiramisù", 595, 210, 1900},
                 {ItemKind::drink, "Green tea", 200, 30, 700},
                 {ItemKind::drink, "拉面汤", 480, 160, 0}};
    for (const auto& [kind, name, price, cost, vat] : items) {
        menu.add({kind, name, Money::fromCents(price), Money::fromCents(cost), vat});
    }
    return menu;
}

inline RandomDay::RandomDay(std::uint32_t seed, Moment openedAt)
    : random(seed), sold(randomDayMenu()), day(1), now(openedAt) {
    JournalEntry open = JournalEntry::of(JournalEntry::Type::open, now);
    open.day = 1;
    open.seq = ++seq;
    day.apply(open);
}

inline const Menu& RandomDay::menu() const { return sold; }

inline int RandomDay::moves() const { return moved; }

inline int RandomDay::lostOnTheWay() const { return lost; }

inline const DayReplay& RandomDay::run(int commands) {
    static const char* const staff[] = {"", "Ana", "Ben"};
    for (int at = 0; at < commands; ++at) {
        now += static_cast<Moment>(random() % 1500);
        const RuleContext context(day, sold, now, staff[random() % 3], 1000,
                                  [this] { return "sale-" + std::to_string(random()); });
        Ruled ruled = DayRules::rule(context, randomCommand());
        if (ruled.index() == 0) {
            take(std::get<Ruling>(ruled));
        }
    }
    return day;
}

// Some payments lose their method, as sales made before methods were kept.
inline void RandomDay::take(Ruling& ruling) {
    for (JournalEntry& entry : ruling.entries) {
        entry.day = 1;
        entry.seq = ++seq;
        if (entry.type == JournalEntry::Type::pay && random() % 6 == 0) {
            entry.method.reset();
            entry.given.reset();
        }
        day.apply(entry);
        if (entry.type == JournalEntry::Type::move) {
            const auto found = day.openItem(itemIdOf(1, *entry.item));
            ++moved;
            lost += found && foldedLabel(found->second) == foldedLabel(entry.label.value_or(""))
                        ? 0
                        : 1;
        }
    }
}

inline std::string RandomDay::randomOrder() {
    static const char* const orders[] = {"", "1", "2", "terrace-3"};
    return orders[random() % 4];
}

inline std::vector<ItemRef> RandomDay::someItemsOf(const std::string& order) {
    std::vector<ItemRef> items;
    if (const OpenOrder* open = day.order(order)) {
        for (const auto& kind : open->items) {
            for (std::size_t place : kind) {
                if (random() % 2 == 0) {
                    items.push_back(
                        {ItemKind::dish, {}, itemIdOf(1, day.sofar().items[place].entry)});
                }
            }
        }
    }
    return items;
}

inline DayCommand RandomDay::randomCommand() {
    const std::string order = randomOrder();
    const auto kind = static_cast<ItemKind>(random() % 3);
    const std::int64_t number = 1 + static_cast<std::int64_t>(random() % 3);
    static const char* const methods[] = {"cash", "card", "other"};
    switch (random() % 10) {
        case 0:
            return RemoveItem{order, {kind, {number, ""}, ""}};
        case 1:
            return MoveItems{order, someItemsOf(order), randomOrder(), false};
        case 2:
        case 3:
            return PayOrder{
                order, someItemsOf(order), {methods[random() % 3], std::nullopt, {}}, {}, {}, {}};
        case 4:
            return VoidSale{static_cast<std::int32_t>(random() % 6), "", "rang up twice"};
        case 5:
            return PayOrder{order, {}, {"cash", Money::fromCents(300000), {}}, {}, {}, {}};
        default:
            return AddItems{order, kind,        {number, ""}, 1 + static_cast<int>(random() % 3),
                            "",    std::nullopt};
    }
}
