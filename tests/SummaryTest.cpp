// A busy day at the till, with counts, names, mistakes, removals and a
// cleared cart, and the close-of-day summary checked figure by figure
// against sums the test works out from the commands alone.
#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"

#include "journal/MemoryJournal.h"
#include "till/Console.h"

namespace {

struct Priced {
    const char* kind;
    const char* name;
    double price;
    double cost;
    double surcharge;
};

const Priced noodleSoup{"dish", "Noodle soup", 10.0, 4.0, 3.0};
const Priced noodleSalad{"dish", "Noodle salad", 8.0, 3.0, 3.0};
const Priced fish{"dish", "Fish", 20.0, 9.25, 3.0};
const Priced chips{"snack", "Chips", 3.0, 1.0, 2.0};
const Priced tea{"drink", "Tea", 2.0, 0.5, 1.0};
const Priced teaWithMilk{"drink", "Tea with milk", 2.5, 0.75, 1.0};
const Priced juice{"drink", "Juice", 4.0, 1.1, 1.0};

Menu menu() {
    const auto item = [](const Priced& p) { return std::make_tuple(p.name, p.price, p.cost); };
    Menu made;
    for (const Priced* p : {&noodleSoup, &noodleSalad, &fish}) {
        made.maindishes.emplace_back(p->name, p->price, p->cost);
    }
    made.snacks.emplace_back(chips.name, chips.price, chips.cost);
    for (const Priced* p : {&tea, &teaWithMilk, &juice}) {
        made.drinks.emplace_back(p->name, p->price, p->cost);
    }
    (void)item;
    return made;
}

std::string twoDecimals(double amount) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << amount;
    return text.str();
}

// What the test knows of the day, from the commands alone.
struct Expected {
    std::vector<std::vector<const Priced*>> paid;
    std::vector<const Priced*> cart;
    std::vector<const Priced*> removed;
    std::map<int, double> revenueByHour;
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
                double paid = 0.0;
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
    double revenue = 0.0;
    std::map<std::pair<std::string, std::string>, std::vector<double>>
        rows;  // count, revenue, cost
    for (const auto& customer : expected.paid) {
        for (const Priced* item : customer) {
            ++sold;
            revenue += item->price;
            auto& row = rows[{item->kind, item->name}];
            row.resize(3);
            row[0] += 1;
            row[1] += item->price;
            row[2] += item->cost + item->surcharge;
        }
    }
    double removedValue = 0.0;
    for (const Priced* item : expected.removed) {
        removedValue += item->price;
    }
    EXPECT_EQ(figures["Customers served"], std::to_string(expected.paid.size()));
    EXPECT_EQ(figures["Items sold"], std::to_string(sold));
    EXPECT_EQ(figures["Items removed"], std::to_string(expected.removed.size()) + " (worth " +
                                            twoDecimals(removedValue) + " $)");
    EXPECT_EQ(figures["Average per customer"],
              twoDecimals(revenue / static_cast<double>(expected.paid.size())) + " $");

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
    double busiest = 0.0;
    for (const auto& [hour, amount] : expected.revenueByHour) {
        busiest = std::max(busiest, amount);
    }
    for (int hour = 9; hour <= 12; ++hour) {
        ASSERT_TRUE(std::getline(lines, line));
        std::ostringstream label;
        label << std::setw(2) << std::setfill('0') << hour << ":00";
        EXPECT_EQ(line.substr(0, 5), label.str());
        const double amount = expected.revenueByHour[hour];
        EXPECT_EQ(line.substr(line.rfind(' ', line.size() - 3) + 1), twoDecimals(amount) + " $");
        // The busiest hour's bar is 30 columns of full blocks, the others
        // in proportion, to an eighth of a column.
        const long eighths = std::lround(amount / busiest * 240.0);
        std::size_t blocks = 0;
        for (std::size_t at = line.find("\u2588"); at != std::string::npos;
             at = line.find("\u2588", at + 1)) {
            ++blocks;
        }
        EXPECT_EQ(blocks, static_cast<std::size_t>(eighths / 8)) << line;
    }

    // The total row is the report's own totals, to the cent.
    double reported[3];
    for (double& amount : reported) {
        ASSERT_TRUE(std::getline(lines, line));
        amount = std::stod(line.substr(line.find(" is ") + 4));
    }
    EXPECT_EQ(total,
              (std::vector<std::string>{std::to_string(sold), twoDecimals(reported[1]),
                                        twoDecimals(reported[0]), twoDecimals(reported[2])}));
    EXPECT_EQ(total[1], twoDecimals(revenue));
}

}  // namespace
