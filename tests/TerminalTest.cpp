// The till as a person at a keyboard meets it, on a pseudo-terminal: the
// welcome, line editing and Tab, what is typed in the user's locale, and
// the question quit asks about an unpaid order.
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "tests/RunProgram.h"
#include "tests/TempFolder.h"
#include "tests/Terminal.h"

namespace {

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";

class AtATerminal : public TempFolder {
protected:
    std::string journal() const { return " --journal " + file("journal.db"); }
};

// On a terminal the till edits lines: a typed Tab completes an item's name,
// and Up recalls the last line.
TEST_F(AtATerminal, CompletesNamesWithTabAndRecallsTheLastLineWithUpOnATerminal) {
    Terminal terminal({RESTAURANT_PATH, "--journal", file("journal.db")});
    ASSERT_TRUE(terminal.showsNext("> "));
    terminal.type("add drink gre\t");
    EXPECT_TRUE(terminal.showsNext("Green tea"));
    terminal.type("\r");
    EXPECT_TRUE(terminal.showsNext("Added Green tea to customer 1's cart"));
    terminal.type("\x1b[A");
    EXPECT_TRUE(terminal.showsNext("add drink Green tea"));
    terminal.type("\r");
    EXPECT_TRUE(terminal.showsNext("Added Green tea to customer 1's cart"));
    terminal.type("quit\r");
    // The terminal wraps the question at its width.
    ASSERT_TRUE(terminal.showsNext(
        "Customer 1 has 2 items (4.00 $) unpaid: paid by cash, card or other, or leave it"))
        << terminal.screen();
    ASSERT_TRUE(terminal.showsNext("open? [cash/card/other/open] ")) << terminal.screen();
    terminal.type(" Card\r");
    EXPECT_TRUE(terminal.showsNext("Customer 1 paid 4.00 $ by card")) << terminal.screen();
    EXPECT_TRUE(terminal.showsNext("Today's total revenue is  4 $")) << terminal.screen();
    EXPECT_EQ(terminal.exitStatus(), 0) << terminal.screen();
    const std::string summary = runProgram(program + " summary" + journal()).output;
    EXPECT_NE(summary.find("Card          1  4.00 $"), std::string::npos) << summary;
}

// Typed at a terminal in a UTF-8 locale, accents and other scripts arrive
// as they do piped in; and quit leaves an unpaid counter order open unless
// told how it was paid.
TEST_F(AtATerminal, TakesAccentsAndOtherScriptsTypedAtAUtf8Terminal) {
    const std::string menu = file("menu.csv");
    std::ofstream(menu)
        << "kind,name,price,cost\ndish,麻婆豆腐,9.50,4\ndrink,Café au lait,3.20,0.80\n";
    Terminal terminal({RESTAURANT_PATH, "--menu", menu, "--journal", file("journal.db")},
                      "C.UTF-8");
    ASSERT_TRUE(terminal.showsNext("> ")) << terminal.screen();
    terminal.type("add drink café\r");
    EXPECT_TRUE(terminal.showsNext("Added Café au lait to customer 1's cart")) << terminal.screen();
    terminal.type("add dish 麻婆\r");
    EXPECT_TRUE(terminal.showsNext("Added 麻婆豆腐 to customer 1's cart")) << terminal.screen();
    terminal.type("quit\r");
    ASSERT_TRUE(terminal.showsNext("(12.70 $) unpaid")) << terminal.screen();
    terminal.type("later\r");
    EXPECT_TRUE(terminal.showsNext("The day stays open with customer 1's cart"))
        << terminal.screen();
    EXPECT_EQ(terminal.exitStatus(), 0) << terminal.screen();
    EXPECT_NE(runProgram(program + " days" + journal()).output.find("open; 0 customers"),
              std::string::npos);
}

TEST_F(AtATerminal, WelcomesAtATerminalWithTheJournalAndTheSampleMenuInUse) {
    Terminal terminal({RESTAURANT_PATH, "--journal", file("journal.db")});
    EXPECT_TRUE(terminal.showsNext(
        "Welcome. Journal: " + file("journal.db") +
        ". Selling the built-in sample menu; import your own with: restaurant menu import "
        "FILE.\r\nType help for the commands, quit to close the day.\r\n> "))
        << terminal.screen();
}

}  // namespace
