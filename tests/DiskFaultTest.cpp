// The journal's promises against a disk that fails: every command is
// recorded whole or refused whole, memory always equals the journal read
// afresh, the same till goes on and the failed command never happens later,
// and the file stays sound.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"
#include "testing/FaultyVfs.h"

#include "console/Console.h"
#include "journal/JournalSchema.h"
#include "journal/SqliteJournal.h"
#include "reports/Summary.h"
#include "tests/JournalFile.h"
#include "tests/RunProgram.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "tests/TillOnFile.h"
#include "tests/TillState.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> setUp = {"add dish 1", "add 2 drink 2", "next", "add snack 1",
                                        "add drink tea"};
// A day with two tables open, table 5 the current one.
const std::vector<std::string> setUpTables = {"add dish 1",  "add 2 drink 2", "next",
                                              "add snack 1", "table bar",     "add drink tea",
                                              "table 5",     "add 2 dish 2",  "add drink 2"};

// The commands a till is given after a fault: each is carried out whole.
const std::vector<std::string> goingOn = {"add drink juice", "table 9", "add snack 1", "counter"};

// What a till on a sound disk shows after the lines: the state a till that
// met a fault must reach once it went on, with the failed command or without.
std::string soundStateAfter(const std::vector<std::string>& lines) {
    const std::string path = testing::TempDir() + "sound-twin.db";
    for (const char* suffix : {"", "-wal", "-shm", "-head"}) {
        std::remove((path + suffix).c_str());
    }
    TillOnFile twin(path);
    for (const std::string& line : lines) {
        twin.handle(line);
    }
    return stateOf(twin.console);
}

std::vector<std::string> joined(const std::vector<std::string>& first, const std::string& middle) {
    std::vector<std::string> lines = first;
    if (!middle.empty()) {
        lines.push_back(middle);
    }
    lines.insert(lines.end(), goingOn.begin(), goingOn.end());
    return lines;
}

struct Fault {
    const char* what;
    FaultyVfs::Operation operation;
    int error;
    const char* cause;
};

TEST_F(JournalFolder, EveryCommandIsRecordedWholeOrRefusedWholeWhenTheDiskFails) {
    const std::vector<Fault> faults = {
        {"a failed write", FaultyVfs::Operation::write, SQLITE_IOERR_WRITE, "disk I/O error"},
        {"a full disk", FaultyVfs::Operation::write, SQLITE_FULL, "database or disk is full"},
        {"a failed sync", FaultyVfs::Operation::sync, SQLITE_IOERR_FSYNC, "disk I/O error"},
    };
    // Commands at the counter, and at a table among others.
    const std::vector<std::pair<const std::vector<std::string>*, std::string>> commands = {
        {&setUp, "add 3 dish fish"},
        {&setUp, "add dish 1 note no salt"},
        {&setUp, "remove drink 1"},
        {&setUp, "clear"},
        {&setUp, "next"},
        {&setUp, "pay cash 50"},
        {&setUp, "void 1 rang up twice"},
        {&setUp, "quit"},
        {&setUpTables, "add 3 snack chips"},
        {&setUpTables, "move dish 1 to bar"},
        {&setUpTables, "move drink juice to 7"},
        {&setUpTables, "split dish 2 drink 1 card"},
        {&setUpTables, "pay"},
        {&setUpTables, "send"},
        {&setUpTables, "move all to 7"},
        {&setUpTables, "counter"},
        {&setUpTables, "clear"},
    };
    std::size_t injected = 0;
    for (const Fault& fault : faults) {
        for (const auto& [before, command] : commands) {
            const std::string refusedThenOn = soundStateAfter(joined(*before, ""));
            const std::string doneThenOn = soundStateAfter(joined(*before, command));
            for (int nth = 1;; ++nth) {
                SCOPED_TRACE(std::string(fault.what) + " at " + std::to_string(nth) + " in " +
                             command);
                const std::string path = file("faults.db");
                fs::remove_all(folder);
                fs::create_directories(folder);
                bool failed = false;
                {
                    TillOnFile till(path);
                    for (const std::string& line : *before) {
                        till.handle(line);
                    }
                    const std::string stateBefore = stateOf(till.console);
                    FaultyVfs::arm(fault.operation, nth, fault.error);
                    const std::string said = till.handle(command);
                    FaultyVfs::disarm();
                    failed = FaultyVfs::injected();
                    const std::string after = stateOf(till.console);
                    const std::string refused = "restaurant: could not record '" + command +
                                                "': " + fault.cause + "; nothing changed\n";
                    if (failed && said == refused) {
                        EXPECT_EQ(after, stateBefore);
                    } else if (failed) {
                        // quit's customer paid; then the day could not close.
                        EXPECT_EQ(command, "quit");
                        EXPECT_EQ(said,
                                  "restaurant: could not close day 1: " + std::string(fault.cause) +
                                      "; the next start resumes it\n");
                        SqliteJournal reread(path, SqliteJournal::Access::reading);
                        EXPECT_FALSE(reread.day(1)->closedAt);
                        EXPECT_EQ(reread.day(1)->customers.size(), 2U);
                    }
                    if (!after.empty()) {
                        SqliteJournal reread(path, SqliteJournal::Access::reading);
                        EXPECT_EQ(after, stateResumedFrom(reread, SmallRestaurant::menu()));
                        // How each sale was paid, and which are void, as kept.
                        std::ostringstream kept;
                        Summary(DayFigures::of(*reread.day(1))).print(kept);
                        std::ostringstream held;
                        {
                            CoutRedirect redirect(held.rdbuf());
                            till.console.handle("summary");
                        }
                        EXPECT_EQ(held.str(), kept.str());
                        // The day goes on, and the failed command never
                        // happens later.
                        for (const std::string& line : goingOn) {
                            EXPECT_EQ(till.handle(line), "") << line;
                        }
                        const std::string wentOn = stateOf(till.console);
                        EXPECT_EQ(wentOn, failed && said == refused ? refusedThenOn : doneThenOn);
                        SqliteJournal again(path, SqliteJournal::Access::reading);
                        EXPECT_EQ(wentOn, stateResumedFrom(again, SmallRestaurant::menu()));
                    }
                }
                EXPECT_EQ(integrityOf(path), "ok");
                if (!failed) {
                    break;
                }
                ++injected;
            }
        }
    }
    std::cout << "Disk faults injected: " << injected << std::endl;
    EXPECT_GT(injected, 20U);
}

// A sync that fails leaves the frames it wrote in the log; a shorter commit
// after it must not leave them looking like damage to the next start.
TEST_F(JournalFolder, AFailedSyncLeavesNoFramesThatLookLikeDamage) {
    const std::string path = file("after-a-failed-sync.db");
    TillOnFile till(path);
    till.handle("add dish 1");
    FaultyVfs::arm(FaultyVfs::Operation::sync, 1, SQLITE_IOERR_FSYNC);
    EXPECT_EQ(till.handle("add 99 drink 1"),
              "restaurant: could not record 'add 99 drink 1': disk I/O error; nothing changed\n");
    FaultyVfs::disarm();
    EXPECT_EQ(till.handle("add snack 1"), "");
    till.console.settle();
    // Read beside the running till, its log not yet checkpointed away.
    SqliteJournal reread(path, SqliteJournal::Access::reading);
    EXPECT_EQ(reread.day(1)->items.size(), 2U);
}

}  // namespace
