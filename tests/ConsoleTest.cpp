#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "console/Console.h"
#include "console/LibraryItems.h"
#include "tests/CoutCapture.h"
#include "tests/SmallRestaurant.h"

namespace {

class ConsoleTest : public CoutCapture {
protected:
    // Feeds the lines in turn and returns what the console printed.
    std::string session(Console& on, const std::vector<std::string>& lines) {
        output();
        for (const std::string& line : lines) {
            on.handle(line);
        }
        EXPECT_TRUE(everyLineFlushed());
        return output();
    }
    std::string session(const std::vector<std::string>& lines) { return session(console, lines); }

    SmallRestaurant restaurant;
    Console& console = restaurant.console;
};

// Customer 1: Noodle soup, Chips, Juice (Fish ordered, then removed).
// Customer 2: Fish, Tea. Revenue 17 + 22 = 39; cost 12 + 13.5 = 25.5.
const std::vector<std::string> normalDay = {
    "menu", "add dish 1", "add dish 2", "add snack 1", "add drink 2", "remove dish 2",
    "cart", "next",       "add dish 2", "add drink 1", "report",      "quit",
};

const char* const normalTranscript =
    "We offer following maindishes : \n1. Noodle soup 10$\n2. Fish 20$\n\n"
    "We offer following snacks : \n1. Chips 3$\n\n"
    "We have following drinks and soups : \n1. Tea 2$\n2. Juice 4$\n"
    "Added Noodle soup to customer 1's cart\n"
    "Added Fish to customer 1's cart\n"
    "Added Chips to customer 1's cart\n"
    "Added Juice to customer 1's cart\n"
    "Removed Fish from customer 1's cart\n"
    "Customer 1's cart:\n"
    "Your have ordered the following maindishes : \n1. Noodle soup\n"
    "The total price of maindishes is : 10 $\n\n"
    "Your have ordered the following snacks : \n1. Chips\n"
    "The total price of snack is : 3 $\n\n"
    "Your have ordered the following drinks and soups : \n1. Juice\n"
    "The total price of drinks and soup are : 4 $\n\n"
    "Customer 1 pays 17.00 $ in all\n"
    "Customer 1 paid 17.00 $; customer 2 is next\n"
    "Added Fish to customer 2's cart\n"
    "Added Tea to customer 2's cart\n"
    "Today's total cost is 12 $\nToday's total revenue is  17 $\nToday's total Profit is  5 $\n"
    "Customer 2 paid 22.00 $\n"
    "Today's total cost is 25.5 $\nToday's total revenue is  39 $\n"
    "Today's total Profit is  13.5 $\n";

TEST_F(ConsoleTest, RunsADayOfSeveralCustomersAndReportsIt) {
    EXPECT_EQ(session(normalDay), normalTranscript);
    EXPECT_FALSE(console.handle("report"));
    console.finish();
    EXPECT_EQ(output(), "");
}

// Every bad line answers exactly as it would on a fresh console, in one
// line of the till's own, after the library's own line where it has one, and
// the day around it goes on as if it had not been typed.
TEST_F(ConsoleTest, AnswersEveryBadLineWithOneLineAndLosesNothing) {
    const std::vector<std::string> badLines = {
        "order pizza",
        "add",
        "add dish",
        "add pizza 1",
        "add dish one",
        "add dish 1.5",
        "add dish 0",
        "add dish -1",
        "add dish 3",
        "add dish +1",
        "add dish 2147483648",
        "add dish -99999999999999999999",
        "add dish 1 please",
        "remove snack 2",
        "remove drink 0",
        "remove dish",
        "menu now",
        "quit later",
        "next customer",
        "remove tea -2147483648",
    };
    SmallRestaurant undisturbed;
    std::string expected;
    std::string actual;
    std::size_t bad = 0;
    for (const std::string& line : normalDay) {
        for (int twice = 0; twice < 2 && bad < badLines.size(); ++twice, ++bad) {
            SmallRestaurant fresh;
            const std::string reply = session(fresh.console, {badLines[bad]});
            const bool library = reply.rfind("Please check your input\n", 0) == 0;
            EXPECT_EQ(std::count(reply.begin(), reply.end(), '\n'), library ? 2 : 1)
                << badLines[bad];
            expected += reply;
            actual += session({badLines[bad]});
        }
        expected += session(undisturbed.console, {line});
        actual += session({line});
    }
    EXPECT_EQ(bad, badLines.size());
    EXPECT_EQ(actual, expected);
}

TEST_F(ConsoleTest, NamesWhatWasWrongAndWhatToType) {
    EXPECT_EQ(session({"Order pizza"}), "Unknown command 'Order': type help to see the commands\n");
    EXPECT_EQ(session({"add"}),
              "'add' needs a kind and a serial number, for example: add dish 2\n");
    EXPECT_EQ(session({"remove pizza 1"}),
              "Unknown kind 'pizza': type dish, snack or drink, for example: remove dish 1\n");
    EXPECT_EQ(session({"add drink 1.5"}),
              "No drink on the menu begins with '1.5': type menu to see the drinks\n");
    EXPECT_EQ(session({"remove drink one"}),
              "There is no drink called 'one' in customer 1's cart: type cart to see it\n");
    EXPECT_EQ(session({"add drink one"}),
              "No drink on the menu begins with 'one': type menu to see the drinks\n");
    EXPECT_EQ(session({"add 100 drink tea", "add 0 dish 1"}),
              "'100' is not a count from 1 to 99: type it before the kind, for example: add 3 "
              "drink 2\n"
              "'0' is not a count from 1 to 99: type it before the kind, for example: add 3 "
              "drink 2\n");
    EXPECT_EQ(session({"clear", "receipt", "summar"}),
              "Customer 1's cart is empty already\n"
              "No customer has paid yet today: a receipt is for a customer who paid\n"
              "Unknown command 'summar': type help to see the commands\n");
    EXPECT_EQ(session({"add snack 99999999999"}),
              "'99999999999' is far beyond any serial number: type one shown by 'menu'\n");
    EXPECT_EQ(session({"remove snack 99999999999"}),
              "'99999999999' is far beyond any serial number: type one shown by 'cart'\n");
    EXPECT_EQ(session({"add snack 0", "add dish 3", "remove snack 1"}),
              "Please check your input\nThere is no snack 0: the menu has 1 (type menu).\n"
              "Please check your input\nThere is no main dish 3: the menu has 2 (type menu).\n"
              "Please check your input number\n");
    EXPECT_EQ(session({"add snack 1 2"}),
              "No snack on the menu begins with '1 2': type menu to see the snacks\n");
    EXPECT_EQ(session({"cart please"}), "'cart' takes nothing after it: type cart alone\n");
    EXPECT_EQ(session({"next"}),
              "Customer 1's cart is empty, so there is nothing to pay: add items first, for "
              "example: add dish 2\n");
}

TEST_F(ConsoleTest, ToleratesLetterCaseBlankLinesAndExtraSpaces) {
    EXPECT_EQ(session({"", "   ", "\t", "  ADD   Dish\t2  \r", "Next"}),
              "Added Fish to customer 1's cart\nCustomer 1 paid 20.00 $; customer 2 is next\n");
    EXPECT_EQ(session({"HELP"}), std::string(Console::commands()) + "\n");
}

TEST_F(ConsoleTest, AnEmptyDayReportsZeroesWhenInputEnds) {
    console.finish();
    EXPECT_EQ(output(),
              "Today's total cost is 0 $\nToday's total revenue is  0 $\n"
              "Today's total Profit is  0 $\n");
}

TEST_F(ConsoleTest, EndOfInputLetsTheLastCustomerPayBeforeTheReport) {
    session({"add drink 1"});
    console.finish();
    EXPECT_EQ(output(),
              "Customer 1 paid 2.00 $\nToday's total cost is 1.5 $\n"
              "Today's total revenue is  2 $\nToday's total Profit is  0.5 $\n");
}

// The figures count each kind's surcharge as the library's kinds add it.
TEST(LibraryItems, EachKindsSurchargeIsTheOneTheLibrarysKindAdds) {
    for (ItemKind kind : itemKinds) {
        for (const std::int64_t cents : {0, 450, 123456}) {
            const Money cost = Money::fromCents(cents);
            EXPECT_EQ(libraryTotalCost(kind, "x", Money(), cost),
                      (cost + surchargeOf(kind)).toDouble())
                << kindWord(kind) << " costing " << cost.twoDecimals();
        }
    }
}

}  // namespace
