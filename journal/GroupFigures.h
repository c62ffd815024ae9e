#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/ItemKind.h"
#include "base/Money.h"

// GroupSeller is one item of the menu as the group sold it: how many and
// for how much, before discounts, as a day's table of items counts them.
struct GroupSeller {
    ItemKind kind = ItemKind::dish;
    std::string name;
    std::int64_t count = 0;
    Money revenue;
};

// GroupDay is one site's day as the head office keeps it: its date (the
// local date of its first sale, or of its opening), its customers, revenue
// and VAT, and what was paid by each method. A sale whose method was never
// recorded counts as other.
struct GroupDay {
    std::string site;
    std::string date;
    std::int64_t customers = 0;
    Money revenue;
    Money vat;
    Money cash;
    Money card;
    Money other;
};

// GroupQuery narrows the group's report: dates from `since` to `until`,
// both included, as YYYY-MM-DD, and one site; empty, each is open.
struct GroupQuery {
    std::string since;
    std::string until;
    std::string site;
};

// GroupFigures are the group's report: one row per site and date, the
// first site's first, and the best sellers across the sites, the most sold
// first.
struct GroupFigures {
    std::vector<GroupDay> days;
    std::vector<GroupSeller> bestSellers;
};
