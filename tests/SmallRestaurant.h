#pragma once

#include "console/Console.h"
#include "journal/MemoryJournal.h"
#include "menu/Menu.h"

// SmallRestaurant is a till on a small menu, its day in a journal in memory,
// started, with a clock that stands still until a test moves it.
struct SmallRestaurant {
    // Main dishes cost +3, snacks +2, drinks +1.
    static Menu menu() {
        Menu menu;
        menu.add({ItemKind::dish, "Noodle soup", Money::fromCents(1000), Money::fromCents(400)});
        menu.add({ItemKind::dish, "Fish", Money::fromCents(2000), Money::fromCents(900)});
        menu.add({ItemKind::snack, "Chips", Money::fromCents(300), Money::fromCents(100)});
        menu.add({ItemKind::drink, "Tea", Money::fromCents(200), Money::fromCents(50)});
        menu.add({ItemKind::drink, "Juice", Money::fromCents(400), Money::fromCents(100)});
        return menu;
    }

    SmallRestaurant() { console.start(); }

    // 2026-12-08 09:00 UTC.
    Moment now = 1796720400;
    MemoryJournal journal;
    Console console{menu(), journal, [this] { return now; }};
};
