#pragma once

// YearJournal writes a journal of many days quickly, for the tests and
// benchmarks that read or ship a year: each day one batch, as the day's
// rules make it, its head signed as it closes.
#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include "base/SaleId.h"
#include "journal/DayReplay.h"
#include "journal/SigningKey.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "service/DayRules.h"
#include "service/DayService.h"

// Writes the ruling's entries, and feeds them to the day.
inline void carry(Journal& journal, DayReplay& day, Ruled ruled) {
    Ruling& ruling = std::get<Ruling>(ruled);
    journal.append(ruling.entries);
    for (const JournalEntry& entry : ruling.entries) {
        day.apply(entry);
    }
}

// One day of customers, each paying for a dish and a drink or two, in one
// batch, as the day's rules make it.
inline void writeDay(Journal& journal, const Menu& menu, Moment& at, int customers) {
    static const char* const methods[] = {"cash", "card", "other"};
    journal.beginBatch();
    const Journal::OpenDay opened = journal.openDay(at);
    DayReplay day(opened.number);
    day.apply(opened.entries.front());
    for (int customer = 0; customer < customers; ++customer) {
        at += 240;
        const RuleContext context(day, menu, at, "", 700, newSaleId);
        const auto number = static_cast<std::int64_t>(customer % 4) + 1;
        carry(journal, day,
              DayRules::rule(context,
                             AddItems{"", ItemKind::dish, {number, ""}, 1, "", std::nullopt}));
        carry(journal, day,
              DayRules::rule(
                  context,
                  AddItems{"", ItemKind::drink, {number, ""}, 1 + customer % 2, "", std::nullopt}));
        carry(
            journal, day,
            DayRules::rule(context, PayOrder{"", {}, {methods[customer % 3], {}, {}}, {}, {}, {}}));
    }
    const RuleContext context(day, menu, at, "", 700, newSaleId);
    Ruling closing = std::get<Ruling>(DayRules::rule(context, CloseDay{}));
    journal.closeDay(closing.entries.front());
    journal.commitBatch();
}

inline void writeYear(const std::string& path, int days, int customers) {
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-head");
    SqliteJournal journal(path, SqliteJournal::Access::till);
    journal.signWith(std::make_shared<const SigningKey>(SigningKey::at(path + ".key")));
    const Menu menu = builtinMenu();
    for (int day = 0; day < days; ++day) {
        Moment at = 1767258000 + Moment{86400} * day;  // 09:00 UTC, from 2026-01-01
        writeDay(journal, menu, at, customers);
    }
}
