// A day that closes a drawer: cash with change, card, a bill split and paid
// two ways, three VAT rates and a void. The summary's drawer, VAT and
// payment figures, the receipts and the report are checked against sums the
// test works out from what it asked for.
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"

#include "console/Console.h"
#include "journal/SqliteJournal.h"
#include "menu/MenuFile.h"
#include "reports/ReadCommands.h"
#include "tests/RunProgram.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "tests/TillState.h"

namespace {

// Cents of each item: its price and the VAT rate it sells at, in hundredths
// of a percent. Dishes carry 10 %, drinks 19 %, and the chips, which the
// menu gives no rate, the till's own 7 %.
struct Sold {
    long long price;
    long long rate;
};
const std::map<std::string, Sold> sold = {
    {"Noodle soup", {1000, 1000}}, {"Fish", {2000, 1000}}, {"Chips", {300, 700}},
    {"Tea", {200, 1900}},          {"Juice", {400, 1900}},
};

Menu ratedMenu() {
    const Menu small = SmallRestaurant::menu();
    Menu menu;
    for (ItemKind kind : itemKinds) {
        for (MenuItem item : small.of(kind)) {
            if (kind != ItemKind::snack) {
                item.vat = sold.at(item.name).rate;
            }
            menu.add(item);
        }
    }
    return menu;
}

// The words of the first line of the text that starts with `start`.
std::vector<std::string> wordsOf(const std::string& text, const std::string& start) {
    const std::size_t at = text.find("\n" + start);
    std::istringstream line(text.substr(at + 1, text.find('\n', at + 1) - at - 1));
    std::vector<std::string> words;
    for (std::string word; at != std::string::npos && line >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string cents(long long amount) {
    std::ostringstream text;
    text << amount / 100 << '.' << (amount % 100 < 10 ? "0" : "") << amount % 100;
    return text.str();
}

// One paid customer as the test expects it.
struct Expected {
    std::vector<std::string> items;
    std::string method;
    bool isVoid = false;
};

class ClosingTheDrawer : public TempFolder {
protected:
    // The till sells at 7 % what the menu gives no rate, and heads its
    // receipts with the restaurant's name and VAT number.
    void SetUp() override {
        TempFolder::SetUp();
        journal = std::make_unique<SqliteJournal>(file("journal.db"), SqliteJournal::Access::till);
        service = std::make_unique<DayService>(
            ratedMenu(), *journal, [this] { return now += 60; }, 700);
        Settings settings;
        settings.set("name", "Trattoria Roma");
        settings.set("vat-number", "IT0123");
        till = std::make_unique<Console>(*service, settings);
    }
    void TearDown() override {
        till.reset();
        service.reset();
        journal.reset();
        TempFolder::TearDown();
    }

    std::string at(const std::vector<std::string>& lines) {
        std::ostringstream said;
        CoutRedirect redirect(said.rdbuf());
        for (const std::string& line : lines) {
            till->handle(line);
        }
        return said.str();
    }

    Moment now = 1796760000;
    std::unique_ptr<SqliteJournal> journal;
    std::unique_ptr<DayService> service;
    std::unique_ptr<Console> till;
};

TEST_F(ClosingTheDrawer, TheSummaryCountsTheDrawerTheVatAndThePaymentsToTheCent) {
    till->start();
    EXPECT_EQ(at({"add dish 1", "add 2 drink tea", "pay cash 20"}),
              "Added Noodle soup to customer 1's cart\n"
              "Added 2 × Tea to customer 1's cart\n"
              "Customer 1 paid 14.00 $ in cash; customer 2 is next\n"
              "Change: 6.00 $\n");
    EXPECT_EQ(at({"table 5", "add dish fish", "add snack chips", "add drink juice",
                  "split dish 1 drink 1 card", "pay cash 5"}),
              "Table 5: new order\nAdded Fish to table 5's order\n"
              "Added Chips to table 5's order\nAdded Juice to table 5's order\n"
              "Table 5 paid 24.00 $ by card for 2 items as customer 2; 1 item stays on its order\n"
              "Table 5 paid 3.00 $ in cash as customer 3; the counter is current\n"
              "Change: 2.00 $\n");
    EXPECT_EQ(at({"add dish 2", "add 3 snack 1", "pay other", "add drink 2", "next",
                  "void 5 rang up twice"}),
              "Added Fish to customer 4's cart\nAdded 3 × Chips to customer 4's cart\n"
              "Customer 4 paid 29.00 $ by other means; customer 5 is next\n"
              "Added Juice to customer 5's cart\nCustomer 5 paid 4.00 $; customer 6 is next\n"
              "Customer 5's sale of 4.00 $ is void: rang up twice\n");
    const std::vector<Expected> customers = {
        {{"Noodle soup", "Tea", "Tea"}, "cash"},
        {{"Fish", "Juice"}, "card"},
        {{"Chips"}, "cash"},
        {{"Fish", "Chips", "Chips", "Chips"}, "other"},
        {{"Juice"}, "cash", true},
    };

    // Bad input: one line each, and nothing changes.
    at({"add drink 1"});
    const std::string before = stateOf(*till) + at({"summary"});
    EXPECT_EQ(at({"pay cash 1.99"}),
              "The cash given, 1.99 $, is less than the 2.00 $ to pay: "
              "type the cash given, for example: pay cash 2\n");
    EXPECT_EQ(at({"void 9 no such sale"}),
              "No customer 9 has paid today: type receipt to see the last one\n");
    EXPECT_EQ(at({"void 5 twice"}), "Customer 5's sale is void already\n");
    for (const std::string& forged :
         {std::string("\x1b[2Jall fine"), std::string("\u202Eowt"), std::string(121, 'x')}) {
        EXPECT_EQ(at({"void 4 " + forged}),
                  "A void's reason is at most 120 characters, without control or invisible "
                  "characters\n");
    }
    EXPECT_EQ(at({"pay cheque"}),
              "'cheque' is not a way to pay: type pay, pay cash, pay cash and "
              "the cash given (pay cash 50), pay card or pay other\n");
    EXPECT_EQ(at({"pay cash 0"}),
              "'0' is not an amount of cash: type the cash given with at most "
              "two decimals, for example: pay cash 50\n");
    EXPECT_EQ(stateOf(*till) + at({"summary"}), before);
    at({"clear"});

    // The sums the summary must show, worked out here: a receipt's VAT is
    // rounded once per rate, and the day's is the sum of its receipts'.
    std::map<std::string, std::pair<int, long long>> byMethod;
    std::map<long long, std::pair<long long, long long>> byRate;
    long long revenue = 0;
    for (const Expected& customer : customers) {
        std::map<long long, long long> gross;
        long long total = 0;
        for (const std::string& item : customer.items) {
            gross[sold.at(item).rate] += sold.at(item).price;
            total += sold.at(item).price;
        }
        if (customer.isVoid) {
            continue;
        }
        revenue += total;
        byMethod[customer.method].first += 1;
        byMethod[customer.method].second += total;
        for (const auto& [rate, amount] : gross) {
            byRate[rate].first += amount;
            byRate[rate].second += (2 * amount * rate + 10000 + rate) / (2 * (10000 + rate));
        }
    }
    const std::string summary = at({"summary"});
    using Words = std::vector<std::string>;
    EXPECT_EQ(wordsOf(summary, "Customers served"), (Words{"Customers", "served", "4"}));
    for (const auto& [method, word] : std::map<std::string, std::string>{
             {"cash", "Cash"}, {"card", "Card"}, {"other", "Other"}}) {
        EXPECT_EQ(wordsOf(summary, word + " "), (Words{word, std::to_string(byMethod[method].first),
                                                       cents(byMethod[method].second), "$"}))
            << summary;
    }
    EXPECT_EQ(byMethod["cash"].second, 1400 + 300);
    EXPECT_EQ(wordsOf(summary, "Cash expected in the drawer: "),
              (Words{"Cash", "expected", "in", "the", "drawer:", "17.00", "$"}));
    for (const auto& [rate, sums] : byRate) {
        const std::string percent = std::to_string(rate / 100);
        EXPECT_EQ(wordsOf(summary, percent + " %"),
                  (Words{percent, "%", cents(sums.first), "$", cents(sums.second), "$"}))
            << summary;
    }
    EXPECT_NE(summary.find("\nVoid sales\nCustomer 5, 4.00 $, paid "), std::string::npos);
    EXPECT_NE(summary.find(": rang up twice\n"), std::string::npos);

    // The library's report counts the sales that stand, and so does `days`.
    const Words report = wordsOf(at({"report"}), "Today's total revenue");
    ASSERT_EQ(report.size(), 6U);
    EXPECT_EQ(std::llround(std::stod(report[4]) * 100), revenue);
    std::ostringstream days;
    listDays(*journal, days);
    EXPECT_NE(days.str().find("; 4 customers, revenue " + cents(revenue) + " $\n"),
              std::string::npos)
        << days.str();

    // Receipts carry the restaurant, the VAT per rate and the payment.
    const std::string first = at({"receipt 1"});
    EXPECT_EQ(first.substr(0, 65),
              "Trattoria Roma\nVAT number IT0123\nReceipt: day 1, customer 1\nSale ");
    EXPECT_NE(first.find("\n  Total         14.00 $\n"
                         "  VAT 10 %       0.91 $\n"
                         "  VAT 19 %       0.64 $\n"
                         "  Paid in cash  20.00 $\n"
                         "  Change         6.00 $\n"),
              std::string::npos)
        << first;
    const std::string voided = at({"receipt 5"});
    EXPECT_NE(voided.find(", paid 2026-12-08 "), std::string::npos);
    EXPECT_NE(voided.find("\nVOID 2026-12-08 "), std::string::npos) << voided;
    EXPECT_NE(voided.find("  Total         4.00 $\n"
                          "  VAT 19 %      0.64 $\n"
                          "  Paid in cash  4.00 $\n"),
              std::string::npos)
        << voided;
}

// Bad VAT rates and settings are refused in one line each, and change nothing.
TEST_F(ClosingTheDrawer, BadRatesAndUnknownSettingsAreRefusedInOneLine) {
    for (const char* rate : {"101", "abc", "-1", "7.777"}) {
        const MenuReading reading =
            readMenu(std::string("kind,name,price,cost,vat\ndish,Soup,5,2,") + rate + "\n");
        ASSERT_EQ(reading.problems.size(), 1U) << rate;
        EXPECT_EQ(reading.problems[0].text,
                  "'" + std::string(rate) +
                      "' is not a VAT rate from 0 to 100: write the percent the price contains, "
                      "for example 19 or 7.7");
    }
    EXPECT_TRUE(readMenu("kind;name;price;cost;vat\ndish;Soup;5,50;2;5,5\n").problems.empty());
    const std::string program = RESTAURANT_PATH;
    const std::string journalOption = " --journal " + file("other.db");
    for (const char* rate : {"101", "abc"}) {
        std::string command = program;
        command += " --vat ";
        command += rate;
        command += journalOption + " </dev/null 2>&1";
        const ProgramRun run = runProgram(command);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output.substr(0, run.output.find('\n')),
                  "restaurant: --vat: '" + std::string(rate) +
                      "' is not a VAT rate from 0 to 100: give the percent prices contain, for "
                      "example 19 or 7.7");
    }
    const ProgramRun unknown =
        runProgram(program + " settings colour red" + journalOption + " 2>&1");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.output,
              "restaurant: there is no setting 'colour': the settings are name, address, "
              "vat-number, currency, service-charge, site, and for a station's printer "
              "printer.STATION and printer.STATION.codepage\n");
    EXPECT_FALSE(std::filesystem::exists(file("other.db")));
    EXPECT_EQ(runProgram(program + " settings currency EUR" + journalOption).status, 0);
    EXPECT_EQ(runProgram(program + " settings name \"Chez Nous\"" + journalOption).status, 0);
    EXPECT_EQ(runProgram(program + " settings" + journalOption).output,
              "name: Chez Nous\naddress: \nvat-number: \ncurrency: EUR\n");
    const std::string paidInEuros =
        runProgram("printf 'add dish 1\\npay cash 100\\n' | " + program + journalOption).output;
    EXPECT_NE(paidInEuros.find(" EUR in cash; customer 2 is next\nChange: "), std::string::npos)
        << paidInEuros;
}

}  // namespace
