// A dinner service: six tables opened in turn, items added to them and moved
// between them, one bill split three ways, every table paid. The report,
// the summary and the receipts are checked against sums the test works out
// from what it asked for.
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"

#include "console/Console.h"
#include "journal/SqliteJournal.h"
#include "reports/Receipt.h"
#include "reports/Summary.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"

namespace {

// Cents of each item of the small menu: price, and cost with the surcharge.
struct Priced {
    long long price;
    long long cost;
};
const std::map<std::string, Priced> priced = {
    {"Noodle soup", {1000, 700}}, {"Fish", {2000, 1200}}, {"Chips", {300, 300}},
    {"Tea", {200, 150}},          {"Juice", {400, 200}},
};

std::string cents(long long amount) {
    std::ostringstream text;
    text << amount / 100 << '.' << (amount % 100 < 10 ? "0" : "") << amount % 100;
    return text.str();
}

class DinnerService : public TempFolder {
protected:
    // Carries out the lines; returns what the till printed.
    std::string at(Console& till, const std::vector<std::string>& lines) {
        std::ostringstream said;
        CoutRedirect redirect(said.rdbuf());
        for (const std::string& line : lines) {
            till.handle(line);
        }
        return said.str();
    }
};

TEST_F(DinnerService, SixTablesWithMovesAndABillSplitThreeWaysAddUpToTheCent) {
    SqliteJournal journal(file("journal.db"), SqliteJournal::Access::till);
    Moment now = 1796760000;
    Console till(SmallRestaurant::menu(), journal, [&] { return now += 60; });
    at(till, {});
    {
        std::ostringstream ignored;
        CoutRedirect redirect(ignored.rdbuf());
        till.start();
    }
    // What each table holds, as the test asks for it.
    std::map<std::string, std::vector<std::string>> tables;
    const auto add = [&](const std::string& table, const std::string& line,
                         const std::vector<std::string>& items) {
        EXPECT_NE(at(till, {"table " + table, line}).find("to table " + table + "'s order"),
                  std::string::npos)
            << line;
        tables[table].insert(tables[table].end(), items.begin(), items.end());
    };
    add("1", "add 2 dish 1", {"Noodle soup", "Noodle soup"});
    add("2", "add dish fish", {"Fish"});
    add("3", "add 3 drink tea", {"Tea", "Tea", "Tea"});
    add("4", "add 2 dish 2", {"Fish", "Fish"});
    add("4", "add 2 drink juice", {"Juice", "Juice"});
    add("4", "add snack 1", {"Chips"});
    add("5", "add drink 2", {"Juice"});
    add("6", "add snack chips", {"Chips"});
    add("2", "add 2 drink 1", {"Tea", "Tea"});

    EXPECT_EQ(at(till, {"table 2", "move drink 1 to 3"}),
              "Table 2: 3 items, 24.00 $\nMoved Tea from table 2's order to table 3's order\n");
    tables["2"].erase(tables["2"].begin() + 1);
    tables["3"].push_back("Tea");
    EXPECT_EQ(at(till, {"table 5", "move drink juice to 6"}),
              "Table 5: 1 item, 4.00 $\nMoved Juice from table 5's order to table 6's order\n");
    tables.erase("5");
    tables["6"].push_back("Juice");
    const std::string listed = at(till, {"tables"});
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 5) << listed;
    EXPECT_EQ(at(till, {"quit"}),
              "Tables 1, 2, 3, 4 and 6 still have open orders: pay, move or clear them first\n");

    // Customers in the order they pay, each with the items paid for.
    std::vector<std::vector<std::string>> customers;
    EXPECT_EQ(at(till, {"table 4", "split dish 1 drink 2"}),
              "Table 4: 5 items, 51.00 $\n"
              "Table 4 paid 24.00 $ for 2 items as customer 1; 3 items stay on its order\n");
    customers.push_back({"Fish", "Juice"});
    EXPECT_EQ(at(till, {"split dish 1 snack 1"}),
              "Table 4 paid 23.00 $ for 2 items as customer 2; 1 item stays on its order\n");
    customers.push_back({"Fish", "Chips"});
    EXPECT_EQ(at(till, {"pay"}), "Table 4 paid 4.00 $ as customer 3; the counter is current\n");
    customers.push_back({"Juice"});
    for (const std::string table : {"1", "2", "3", "6"}) {
        at(till, {"table " + table, "pay"});
        customers.push_back(tables[table]);
    }
    const std::string closing = at(till, {"quit"});

    long long revenue = 0;
    long long cost = 0;
    std::size_t sold = 0;
    const DayFigures day = DayFigures::of(*journal.day(1));
    for (std::size_t customer = 0; customer < customers.size(); ++customer) {
        long long paid = 0;
        for (const std::string& item : customers[customer]) {
            paid += priced.at(item).price;
            cost += priced.at(item).cost;
            ++sold;
        }
        revenue += paid;
        std::ostringstream receipt;
        const SaleFigures* sale = day.sale(static_cast<std::int32_t>(customer) + 1);
        ASSERT_NE(sale, nullptr);
        Receipt().print(*sale, receipt);
        const std::string text = receipt.str();
        EXPECT_EQ(text.substr(text.rfind(' ', text.size() - 4) + 1), cents(paid) + " $\n") << text;
    }
    EXPECT_NE(
        closing.find("Today's total revenue is  " + std::to_string(revenue / 100) +
                     (revenue % 100 != 0 ? "." + std::to_string(revenue % 100 / 10) : "") + " $"),
        std::string::npos)
        << closing;
    std::ostringstream summary;
    Summary(day).print(summary);
    EXPECT_NE(summary.str().find("Customers served      " + std::to_string(customers.size())),
              std::string::npos);
    std::string total = summary.str().substr(summary.str().find("\nTotal") + 1);
    total = total.substr(0, total.find('\n'));
    std::istringstream cells(total);
    std::string word;
    std::vector<std::string> figures;
    while (cells >> word) {
        figures.push_back(word);
    }
    EXPECT_EQ(figures, (std::vector<std::string>{"Total", std::to_string(sold), cents(revenue),
                                                 cents(cost), cents(revenue - cost)}));
}

}  // namespace
