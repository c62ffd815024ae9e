#pragma once

#include "journal/MemoryJournal.h"
#include "menu/Menu.h"
#include "till/Console.h"

// SmallRestaurant is a till on a small menu, its day in a journal in memory,
// started, with a clock that stands still until a test moves it.
struct SmallRestaurant {
    // Main dishes cost +3, snacks +2, drinks +1.
    static Menu menu() {
        return Menu{{{"Noodle soup", 10.0, 4.0}, {"Fish", 20.0, 9.0}},
                    {{"Chips", 3.0, 1.0}},
                    {{"Tea", 2.0, 0.5}, {"Juice", 4.0, 1.0}}};
    }

    SmallRestaurant() { console.start(); }

    // 2026-12-08 09:00 UTC.
    Moment now = 1796720400;
    MemoryJournal journal;
    Console console{menu(), journal, [this] { return now; }};
};
