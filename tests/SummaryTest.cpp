// A busy day at the till, with counts, names, mistakes, removals and a
// cleared cart, and the close-of-day summary checked figure by figure
// against sums the test works out from the commands alone.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "testing/CoutRedirect.h"

#include "base/Text.h"
#include "console/Console.h"
#include "journal/MemoryJournal.h"

namespace {

// Amounts in cents.
struct Priced {
    ItemKind kind;
    const char* name;
    long long price;
    long long cost;
    long long surcharge;
};

const Priced noodleSoup{ItemKind::dish, "Noodle soup", 1000, 400, 300};
const Priced noodleSalad{ItemKind::dish, "Noodle salad", 800, 300, 300};
const Priced fish{ItemKind::dish, "Fish", 2000, 925, 300};
const Priced chips{ItemKind::snack, "Chips", 300, 100, 200};
const Priced tea{ItemKind::drink, "Tea", 200, 50, 100};
const Priced teaWithMilk{ItemKind::drink, "Tea with milk", 250, 75, 100};
const Priced juice{ItemKind::drink, "Juice", 400, 110, 100};

Menu menu() {
    Menu made;
    for (const Priced* p : {&noodleSoup, &noodleSalad, &fish, &chips, &tea, &teaWithMilk, &juice}) {
        made.add({p->kind, p->name, Money::fromCents(p->price), Money::fromCents(p->cost)});
    }
    return made;
}

// Cents as the summary writes them, worked out apart from Money.
std::string twoDecimals(long long cents) {
    std::ostringstream text;
    text << cents / 100 << '.' << std::setw(2) << std::setfill('0') << cents % 100;
    return text.str();
}

// What the test knows of the day, from the commands alone.
struct Expected {
    std::vector<std::vector<const Priced*>> paid;
    std::vector<const Priced*> cart;
    std::vector<const Priced*> removed;
    std::map<int, long long> revenueByHour;
};

struct Step {
    int minute;  // of the day
    const char* command;
    std::vector<const Priced*> added;
    int removedAt;  // index into the cart, or -1; -2 clears it
    bool pays;
};

TEST(Summary, CountsASoldRemovedAndClearedDayFigureByFigureAndAgreesWithTheReport) {
    const std::vector<Step> day = {
        {545, "add 2 dish noodle so", {&noodleSoup, &noodleSoup}, -1, false},
        {546, "add dish noodle", {}, -1, false},                  // ambiguous
        {547, "ADD 3 drink tea", {&tea, &tea, &tea}, -1, false},  // exact before prefix
        {548, "add drink te", {}, -1, false},                     // ambiguous
        {549, "add snack crisps", {}, -1, false},                 // unknown
        {550, "remove drink 2", {}, 3, false},
        {560, "next", {}, -1, true},
        {615, "add dish 3", {&fish}, -1, false},
        {616, "add 2 snack chips", {&chips, &chips}, -1, false},
        {617, "clear", {}, -2, false},
        {618, "add drink tea with", {&teaWithMilk}, -1, false},
        {619, "add 4 snack 1", {&chips, &chips, &chips, &chips}, -1, false},
        {640, "next", {}, -1, true},
        {725, "add dish fish", {&fish}, -1, false},
        {726, "add 99 drink juice", std::vector<const Priced*>(99, &juice), -1, false},
        {727, "remove dish 1", {}, 0, false},
        {728, "add dish noodle sa", {&noodleSalad}, -1, false},
        {750, "next", {}, -1, true},
    };
    constexpr Moment midnight = 1796688000;  // 2026-12-08 00:00 UTC
    setenv("TZ", "UTC", 1);
    tzset();
    Moment now = midnight;
    MemoryJournal journal;
    Console console(menu(), journal, [&] { return now; });
    Expected expected;
    std::ostringstream transcript;
    {
        CoutRedirect redirect(transcript.rdbuf());
        console.start();
        for (const Step& step : day) {
            now = midnight + Moment{step.minute} * 60;
            console.handle(step.command);
            for (const Priced* item : step.added) {
                expected.cart.push_back(item);
            }
            if (step.removedAt >= 0) {
                expected.removed.push_back(expected.cart[static_cast<std::size_t>(step.removedAt)]);
                expected.cart.erase(expected.cart.begin() + step.removedAt);
            } else if (step.removedAt == -2) {
                expected.removed.insert(expected.removed.end(), expected.cart.begin(),
                                        expected.cart.end());
                expected.cart.clear();
            }
            if (step.pays) {
                long long paid = 0;
                for (const Priced* item : expected.cart) {
                    paid += item->price;
                }
                expected.revenueByHour[step.minute / 60] += paid;
                expected.paid.push_back(expected.cart);
                expected.cart.clear();
            }
        }
    }
    EXPECT_NE(transcript.str().find("'noodle' could be any of these main dishes: Noodle soup, "
                                    "Noodle salad; type more of the name\n"),
              std::string::npos);
    EXPECT_NE(transcript.str().find("'te' could be any of these drinks: Tea, Tea with milk; type "
                                    "more of the name\n"),
              std::string::npos);
    EXPECT_NE(transcript.str().find("No snack on the menu begins with 'crisps': type menu to see "
                                    "the snacks\n"),
              std::string::npos);
    EXPECT_NE(transcript.str().find("Added 99 \u00d7 Juice to customer 3's cart\n"),
              std::string::npos);

    std::ostringstream seen;
    {
        CoutRedirect redirect(seen.rdbuf());
        console.handle("summary");
        console.handle("report");
    }
    std::istringstream lines(seen.str());
    std::map<std::string, std::string> figures;
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Summary of day 1, opened 2026-12-08 00:00, still open");
    while (std::getline(lines, line) && !line.empty()) {
        const std::size_t gap = line.find("  ");
        figures[line.substr(0, gap)] = line.substr(line.find_first_not_of(' ', gap));
    }

    // Sums worked out from the commands.
    std::size_t sold = 0;
    long long revenue = 0;
    std::map<std::pair<std::string, std::string>, std::vector<long long>>
        rows;  // count, revenue, cost
    for (const auto& customer : expected.paid) {
        for (const Priced* item : customer) {
            ++sold;
            revenue += item->price;
            auto& row = rows[{std::string(kindWord(item->kind)), item->name}];
            row.resize(3);
            row[0] += 1;
            row[1] += item->price;
            row[2] += item->cost + item->surcharge;
        }
    }
    long long removedValue = 0;
    for (const Priced* item : expected.removed) {
        removedValue += item->price;
    }
    EXPECT_EQ(figures["Customers served"], std::to_string(expected.paid.size()));
    EXPECT_EQ(figures["Items sold"], std::to_string(sold));
    EXPECT_EQ(figures["Items removed"], std::to_string(expected.removed.size()) + " (worth " +
                                            twoDecimals(removedValue) + " $)");
    const long long customers = static_cast<long long>(expected.paid.size());
    EXPECT_EQ(figures["Average per customer"],
              twoDecimals((revenue + customers / 2) / customers) + " $");

    // The table: a header, a row per item sold, the total row.
    std::getline(lines, line);
    EXPECT_EQ(line.substr(0, 4), "Kind");
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> table;
    std::vector<std::string> total;
    while (std::getline(lines, line) && !line.empty()) {
        std::istringstream cells(line);
        std::vector<std::string> words;
        for (std::string word; cells >> word;) {
            words.push_back(word);
        }
        ASSERT_GE(words.size(), 5U) << line;
        const std::vector<std::string> numbers(words.end() - 4, words.end());
        std::string name;
        for (std::size_t at = 1; at + 4 < words.size(); ++at) {
            name += (name.empty() ? "" : " ") + words[at];
        }
        if (words[0] == "Total") {
            total = numbers;
        } else {
            table[{words[0], name}] = numbers;
        }
    }
    ASSERT_EQ(table.size(), rows.size());
    for (const auto& [item, sums] : rows) {
        EXPECT_EQ(table[item], (std::vector<std::string>{std::to_string(static_cast<int>(sums[0])),
                                                         twoDecimals(sums[1]), twoDecimals(sums[2]),
                                                         twoDecimals(sums[1] - sums[2])}))
            << item.second;
    }

    // Revenue by hour, from the first hour with a sale to the last.
    std::getline(lines, line);
    EXPECT_EQ(line, "Revenue by hour");
    long long busiest = 0;
    for (const auto& [hour, amount] : expected.revenueByHour) {
        busiest = std::max(busiest, amount);
    }
    for (int hour = 9; hour <= 12; ++hour) {
        ASSERT_TRUE(std::getline(lines, line));
        std::ostringstream label;
        label << std::setw(2) << std::setfill('0') << hour << ":00";
        EXPECT_EQ(line.substr(0, 5), label.str());
        const long long amount = expected.revenueByHour[hour];
        EXPECT_EQ(line.substr(line.rfind(' ', line.size() - 3) + 1), twoDecimals(amount) + " $");
        // The busiest hour's bar is 30 columns of full blocks, the others
        // in proportion, to an eighth of a column.
        const long eighths =
            std::lround(static_cast<double>(amount) / static_cast<double>(busiest) * 240.0);
        std::size_t blocks = 0;
        for (std::size_t at = line.find("\u2588"); at != std::string::npos;
             at = line.find("\u2588", at + 1)) {
            ++blocks;
        }
        EXPECT_EQ(blocks, static_cast<std::size_t>(eighths / 8)) << line;
    }

    // Every sale was paid in cash, so the drawer holds the revenue.
    while (std::getline(lines, line) && line.rfind("Cash expected", 0) != 0) {
    }
    EXPECT_EQ(line, "Cash expected in the drawer: " + twoDecimals(revenue) + " $");

    // The total row is the sum of the rows and agrees with the report's own
    // totals to the cent.
    long long reported[3];
    for (long long& amount : reported) {
        ASSERT_TRUE(std::getline(lines, line));
        amount = std::llround(std::stod(line.substr(line.find(" is ") + 4)) * 100.0);
    }
    EXPECT_EQ(total,
              (std::vector<std::string>{std::to_string(sold), twoDecimals(reported[1]),
                                        twoDecimals(reported[0]), twoDecimals(reported[2])}));
    EXPECT_EQ(total[1], twoDecimals(revenue));
}

// A day on the small menu, with the clock at each command's moment, in the
// zone given; returns what `summary` and `receipt` print at its end.
std::string dayIn(const char* zone, const std::vector<std::pair<Moment, std::string>>& commands,
                  const std::string& asked = "summary") {
    setenv("TZ", zone, 1);
    tzset();
    Moment now = 0;
    MemoryJournal journal;
    Console console(menu(), journal, [&] { return now; });
    std::ostringstream seen;
    CoutRedirect redirect(seen.rdbuf());
    for (const auto& [moment, command] : commands) {
        now = moment;
        console.handle(command);
        if (command == "start") {
            console.start();
        }
    }
    seen.str("");
    console.handle(asked);
    setenv("TZ", "UTC", 1);
    tzset();
    return seen.str();
}

// The chart alone, without the sections after it.
std::string chartOf(const std::string& summary) {
    const std::size_t start = summary.find("Revenue by hour\n");
    const std::size_t end = summary.find("\n\n", start);
    return summary.substr(start, end == std::string::npos ? end : end + 1 - start);
}

constexpr Moment hour = 3600;
constexpr Moment halfAnHour = 1800;

// Sales 23 hours apart keep every hour between them in the chart; sales a
// whole day apart keep only their own.
TEST(Summary, ChartsTheHoursBetweenSalesWithinADayAndNoMore) {
    constexpr Moment nine = 1796720400;  // 2026-12-08 09:00 UTC
    const std::string within = chartOf(dayIn("UTC", {{nine, "start"},
                                                     {nine, "add dish 1"},
                                                     {nine, "next"},
                                                     {nine + 23 * hour, "add dish 2"},
                                                     {nine + 23 * hour + 59, "next"}}));
    EXPECT_EQ(std::count(within.begin(), within.end(), '\n'), 25) << within;
    EXPECT_NE(within.find("\n12-08 20:00                                   0.00 $\n"),
              std::string::npos)
        << within;
    const std::string beyond = chartOf(dayIn("UTC", {{nine, "start"},
                                                     {nine, "add dish 1"},
                                                     {nine, "next"},
                                                     {nine + 24 * hour, "add dish 2"},
                                                     {nine + 24 * hour, "next"}}));
    EXPECT_EQ(beyond,
              "Revenue by hour\n"
              "12-08 09:00  ██████████████████████████████  10.00 $\n"
              "12-09 09:00  ████████████████████████         8.00 $\n");
}

// The clock goes back in October: the hour from 02:00 comes twice, once in
// summer time and once in winter time. It goes forward in March: there is no
// 02:00 at all.
TEST(Summary, LabelsEveryLocalHourAcrossADaylightSavingChange) {
    constexpr Moment octoberMidnight = 1792879200;  // 2026-10-25 00:00 CEST
    std::vector<std::pair<Moment, std::string>> october = {{octoberMidnight, "start"}};
    for (Moment at : {1, 2, 3, 4}) {
        const Moment sold = octoberMidnight + at * hour + halfAnHour;
        october.insert(october.end(), {{sold, "add drink 1"}, {sold, "next"}});
    }
    EXPECT_EQ(chartOf(dayIn("Europe/Berlin", october)),
              "Revenue by hour\n"
              "01:00       ██████████████████████████████  2.00 $\n"
              "02:00 CEST  ██████████████████████████████  2.00 $\n"
              "02:00 CET   ██████████████████████████████  2.00 $\n"
              "03:00       ██████████████████████████████  2.00 $\n");

    constexpr Moment marchMidnight = 1774738800;  // 2026-03-29 00:00 CET
    std::vector<std::pair<Moment, std::string>> march = {{marchMidnight, "start"}};
    for (Moment at : {1, 2}) {
        const Moment sold = marchMidnight + at * hour + halfAnHour;
        march.insert(march.end(), {{sold, "add drink 2"}, {sold, "next"}});
    }
    EXPECT_EQ(chartOf(dayIn("Europe/Berlin", march)),
              "Revenue by hour\n"
              "01:00  ██████████████████████████████  2.50 $\n"
              "03:00  ██████████████████████████████  2.50 $\n");
}

TEST(Receipt, StartsWithTheDayTheCustomerTheSaleAndWhenItWasPaid) {
    constexpr Moment nine = 1796720400;
    const std::string receipt = dayIn("Europe/Berlin",
                                      {{nine, "start"},
                                       {nine, "add 2 drink tea"},
                                       {nine, "add dish fish"},
                                       {nine, "next"},
                                       {nine + 65, "add snack 1"},
                                       {nine + 65, "next"}},
                                      "receipt 1");
    ASSERT_GT(receipt.size(), 80U) << receipt;
    EXPECT_EQ(receipt.substr(0, 32), "Receipt: day 1, customer 1\nSale ");
    EXPECT_EQ(receipt.substr(68),
              ", paid 2026-12-08 10:00:00\n"
              "  Fish          20.00 $\n"
              "  Tea            2.00 $\n"
              "  Tea            2.00 $\n"
              "  Total         24.00 $\n"
              "  Paid in cash  24.00 $\n");
}

}  // namespace
