// Nothing is charged unless someone says so: how the till stops, at a
// terminal and under a script, and what it leaves in the journal.
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <string>

#include "tests/ChildProcess.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"
#include "tests/Terminal.h"

namespace {

using std::chrono::milliseconds;

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";

class Stopping : public TempFolder {
protected:
    std::string journalPath() const { return file("journal.db"); }
    std::string on() const { return " --journal " + journalPath(); }
    std::string days() const { return runProgram(program + " days" + on()).output; }
};

TEST_F(Stopping, CtrlDAtATerminalLeavesTheDayOpenAndTheCartUncharged) {
    {
        Terminal terminal({RESTAURANT_PATH, "--journal", journalPath()});
        ASSERT_TRUE(terminal.showsNext("> "));
        terminal.type("add dish 1\r");
        ASSERT_TRUE(terminal.showsNext("Added Beef noodle soup to customer 1's cart"));
        ASSERT_TRUE(terminal.showsNext("> "));
        ASSERT_TRUE(terminal.readsKeys());
        terminal.type("\x04");
        EXPECT_TRUE(terminal.showsNext(
            "The day stays open: start restaurant again to go on, or type quit to close it."))
            << terminal.screen();
        EXPECT_EQ(terminal.exitStatus(), 0);
    }
    EXPECT_NE(days().find(", open; 0 customers, revenue 0.00 $"), std::string::npos) << days();
    Terminal again({RESTAURANT_PATH, "--journal", journalPath()});
    EXPECT_TRUE(again.showsNext("Resumed day 1: 0 customers paid; customer 1's cart holds 1 item"));
}

TEST_F(Stopping, CtrlCAtATerminalAbandonsTheHalfTypedLineForAFreshPrompt) {
    Terminal terminal({RESTAURANT_PATH, "--journal", journalPath()});
    ASSERT_TRUE(terminal.showsNext("> "));
    terminal.type("add 5 drink lemon");
    ASSERT_TRUE(terminal.showsNext("lemon"));
    terminal.type("\x03");
    ASSERT_TRUE(terminal.showsNext("> "));
    terminal.type("add dish 1\r");
    ASSERT_TRUE(terminal.showsNext("Added Beef noodle soup to customer 1's cart"));
    terminal.type("quit\r");
    ASSERT_TRUE(terminal.showsNext("[cash/card/other/open] ")) << terminal.screen();
    terminal.type("cash\r");
    EXPECT_TRUE(terminal.showsNext("Today's total revenue is  12.5 $")) << terminal.screen();
    EXPECT_EQ(terminal.exitStatus(), 0);
    EXPECT_EQ(terminal.screen().find("Lemonade"), std::string::npos) << terminal.screen();
}

TEST_F(Stopping, AHangUpLeavesTheDayOpenAndTheCartUncharged) {
    Terminal terminal({RESTAURANT_PATH, "--journal", journalPath()});
    ASSERT_TRUE(terminal.showsNext("> "));
    terminal.type("add 2 snack 1\r");
    ASSERT_TRUE(terminal.showsNext("Added 2 \u00d7 Spring rolls to customer 1's cart"));
    terminal.hangUp();
    const int status = terminal.exitStatus();
    EXPECT_TRUE(status == 128 + SIGHUP || status == 1) << status;
    EXPECT_NE(days().find(", open; 0 customers, revenue 0.00 $"), std::string::npos) << days();
    EXPECT_EQ(
        runProgram("printf 'cart\\n' | " + program + on())
            .output.rfind("Resumed day 1: 0 customers paid; customer 1's cart holds 2 items\n", 0),
        0U);
}

// Asked to stop while it waits for a line, by SIGTERM, SIGHUP or SIGINT, a
// till under a script ends with the usual status for the signal, 128 and
// its number, and leaves the day open.
TEST_F(Stopping, AStopSignalUnderAScriptLeavesTheDayOpenWithTheSignalsStatus) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        ChildProcess till({RESTAURANT_PATH, "--journal", journalPath()});
        till.type("add drink 1\n");
        std::string line;
        while (till.readLine(line, milliseconds(10000)) && line.rfind("Added", 0) != 0) {
        }
        EXPECT_EQ(line, "Added Orange juice to customer 1's cart");
        EXPECT_TRUE(till.stop(signal));
        EXPECT_EQ(till.waitForExit(), 128 + signal);
    }
    const ProgramRun resumed = runProgram("printf 'cart\\n' | " + program + on());
    EXPECT_EQ(resumed.output.rfind(
                  "Resumed day 1: 0 customers paid; customer 1's cart holds 3 items\n", 0),
              0U)
        << resumed.output;
    EXPECT_NE(resumed.output.find("Customer 1 paid 9.00 $\n"), std::string::npos)
        << "the end of a script still acts as quit";
}

TEST_F(Stopping, ADayThatNeverHeldAnItemLeavesNoTrace) {
    EXPECT_EQ(runProgram("printf 'menu\\nreport\\nquit\\n' | " + program + on()).status, 0);
    EXPECT_EQ(runProgram("printf 'add dish 1\\nclear\\n' | " + program + on()).status, 0);
    EXPECT_EQ(runProgram(program + on() + " < /dev/null").status, 0);
    const std::string listed = days();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 1) << listed;
    EXPECT_EQ(listed.rfind("Day 1: opened ", 0), 0U) << "the day an item was added to stays";
    EXPECT_NE(listed.find("; 0 customers, revenue 0.00 $\n"), std::string::npos) << listed;
}

}  // namespace
