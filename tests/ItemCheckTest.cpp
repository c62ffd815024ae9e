#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "checks/ItemCheck.h"
#include "items/Food.h"
#include "tests/RunProgram.h"
#include "tests/WrongKinds.h"

namespace {

template <typename Item>
std::string runCheck(const char* givenName, const char* newName, double expectedTotal) {
    std::ostringstream out;
    EXPECT_EQ(runItemCheck<Item>(givenName, newName, expectedTotal, out), 0);
    return out.str();
}

TEST(ItemCheckTest, ReportsOnlyTheTotalCheckForAWrongSurcharge) {
    EXPECT_EQ(runCheck<WrongSurcharge>("juice", "Juice", 7.0),
              "Test1 success\nTest2 success\nTest3 success\nTest4 fail\nSuccess/Total 3/4\n");
}

TEST(ItemCheckTest, ReportsTheNameCostAndTotalChecksForSettersThatStoreNothing) {
    EXPECT_EQ(runCheck<Frozen>("juice", "Juice", 7.0),
              "Test1 fail\nTest2 success\nTest3 fail\nTest4 fail\nSuccess/Total 1/4\n");
}

const char* const allPassed =
    "Test1 success\nTest2 success\nTest3 success\nTest4 success\nSuccess/Total 4/4\n";

// A check program whose kind fails a check still ends with status 0: its
// failures show only in the lines it prints.
TEST(ItemCheckTest, AProgramWhoseCheckFailsPrintsTheFailureAndStillExitsWithZero) {
    const ProgramRun run = runProgram(std::string("\"") + WRONGCHECK_PATH + "\" extra words");
    EXPECT_EQ(run.output,
              "Test1 success\nTest2 success\nTest3 success\nTest4 fail\nSuccess/Total 3/4\n");
    EXPECT_EQ(run.status, 0);
}

TEST(ItemCheckTest, EachCheckProgramPrintsFourSuccessesAndATallyWhateverItsArguments) {
    for (const char* program : {DRINKCHECK_PATH, DISHCHECK_PATH, SNACKCHECK_PATH}) {
        for (const char* arguments : {"", " --verbose extra words", " < /dev/null"}) {
            SCOPED_TRACE(std::string(program) + arguments);
            const ProgramRun run = runProgram(std::string("\"") + program + "\"" + arguments);
            EXPECT_EQ(run.output, allPassed);
            EXPECT_EQ(run.status, 0);
        }
    }
}

}  // namespace
