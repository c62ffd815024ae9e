// The till when memory runs out: every command is run again and again with
// its first, its second, its third ... allocation failing, wherever it falls,
// on the console's thread or the writer's. Each time the command is either
// refused whole or carried out whole, memory equals what a restart would
// find, nothing leaks, and the same till goes on: the commands after it are
// carried out, and the failed one never happens later.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testing/AllocationCounter.h"
#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "console/Console.h"
#include "console/LineReader.h"
#include "console/Till.h"
#include "journal/MemoryJournal.h"
#include "journal/SqliteJournal.h"
#include "reports/ReportLines.h"
#include "service/DayFigures.h"
#include "tests/TillState.h"

namespace {

// Names longer than any small-string buffer, so every copy allocates.
std::string longName(const char* what) { return std::string(what) + " with a long, long name"; }

std::size_t failurePointsSwept = 0;

// A till whose menu has long names, on a journal in memory or in a file.
// Its clock stands still, so that the times it shows are the same however
// long a sweep runs.
struct LongNamedTill {
    // 2026-12-08 09:00 UTC.
    static constexpr Moment openedAt = 1796720400;

    static Menu menu() {
        Menu menu;
        for (const auto& [kind, count] :
             {std::pair{ItemKind::dish, 2}, {ItemKind::snack, 1}, {ItemKind::drink, 2}}) {
            for (int at = 1; at <= count; ++at) {
                menu.add({kind, longName("Item") + std::to_string(at),
                          Money::fromCents(std::int64_t{100} * at),
                          Money::fromCents(std::int64_t{50} * at)});
            }
        }
        return menu;
    }

    explicit LongNamedTill(bool inAFile)
        : path(testing::TempDir() + "out-of-memory-journal.db"),
          journal(inAFile ? open(path)
                          : std::unique_ptr<Journal>(std::make_unique<MemoryJournal>())),
          console(std::make_unique<Console>(menu(), *journal, [] { return openedAt; })) {
        CoutRedirect silence(&discard);
        console->start();
        for (const char* line : {"add dish 1", "add 2 drink 2", "add snack 1"}) {
            console->handle(line);
        }
    }
    LongNamedTill(const LongNamedTill&) = delete;
    LongNamedTill& operator=(const LongNamedTill&) = delete;
    ~LongNamedTill() {
        console.reset();
        journal.reset();
        for (const char* suffix : {"", "-wal", "-shm", "-head"}) {
            std::remove((path + suffix).c_str());
        }
    }

    static std::unique_ptr<Journal> open(const std::string& file) {
        std::remove(file.c_str());
        return std::make_unique<SqliteJournal>(file, SqliteJournal::Access::till);
    }

    // Carries out the lines, silently.
    void handle(const std::vector<std::string>& lines) {
        CoutRedirect silence(&discard);
        for (const std::string& line : lines) {
            console->handle(line);
        }
    }

    DiscardBuffer discard;
    std::string path;
    std::unique_ptr<Journal> journal;
    std::unique_ptr<Console> console;
};

// What the journal holds of its last day: closed or open, and its report.
std::string journalDayOf(Journal& journal) {
    const std::optional<DayRecord> last = journal.day(journal.days().back().number);
    const DayFigures figures = DayFigures::of(*last);
    std::ostringstream seen;
    ReportLines::print(figures.cost, figures.revenue, figures.profit, seen);
    return (last->closedAt ? "closed\n" : "open\n") + seen.str();
}

// The commands the till is given after the one that failed.
const std::vector<std::string> goingOn = {"add drink 1", "table 9", "add snack 1"};

// What the till may show after `command`, and after the commands that go on
// from there: the command refused, or carried out; and for `quit`, the
// customer paid but the day left open.
struct Allowed {
    std::vector<std::string> after;
    std::vector<std::string> wentOn;
    // What the journal holds once the till stopped: closed, or, when the
    // close failed, open with the customer paid.
    std::vector<std::string> journalDays;
};

Allowed allowedAfter(const std::string& command, bool inAFile) {
    Allowed allowed;
    std::vector<std::string> done = {"", command};
    if (command == "quit") {
        done.push_back("next");
    }
    for (const std::string& line : done) {
        LongNamedTill till(inAFile);
        till.handle({line});
        allowed.after.push_back(stateOf(*till.console));
        allowed.journalDays.push_back(journalDayOf(*till.journal));
        till.handle(goingOn);
        allowed.wentOn.push_back(stateOf(*till.console));
    }
    return allowed;
}

bool among(const std::vector<std::string>& allowed, const std::string& seen) {
    return std::find(allowed.begin(), allowed.end(), seen) != allowed.end();
}

// Fails the nth allocation of the command on a fresh till; returns whether a
// failure was injected.
bool failOnce(const std::string& command, bool inAFile, std::size_t nth, const Allowed& allowed) {
    LongNamedTill till(inAFile);
    bool injected = false;
    {
        CoutRedirect silence(&till.discard);
        AllocationCounter::Failure failure(nth);
        try {
            till.console->handle(command);
        } catch (const std::bad_alloc&) {
        }
        injected = AllocationCounter::injected();
    }
    const std::string after = stateOf(*till.console);
    if (after.empty()) {  // the till stopped
        EXPECT_TRUE(among(allowed.journalDays, journalDayOf(*till.journal)))
            << "allocation " << nth << " failed and left " << journalDayOf(*till.journal);
        return injected;
    }
    EXPECT_TRUE(among(allowed.after, after))
        << "allocation " << nth << " failed and left " << after;
    EXPECT_EQ(after, stateResumedFrom(*till.journal, LongNamedTill::menu()))
        << "allocation " << nth << " failed: memory and journal differ";
    till.handle(goingOn);
    const std::string wentOn = stateOf(*till.console);
    EXPECT_TRUE(among(allowed.wentOn, wentOn))
        << "after allocation " << nth << " failed, the till went on to " << wentOn;
    EXPECT_EQ(wentOn, stateResumedFrom(*till.journal, LongNamedTill::menu()))
        << "after allocation " << nth << " failed, memory and journal part";
    return injected;
}

void sweepTill(const std::string& command, bool inAFile) {
    SCOPED_TRACE(command + (inAFile ? " on a journal file" : " on a journal in memory"));
    const Allowed allowed = allowedAfter(command, inAFile);
    for (std::size_t nth = 1;; ++nth) {
        const std::size_t liveBefore = AllocationCounter::live();
        const bool injected = failOnce(command, inAFile, nth, allowed);
        EXPECT_EQ(AllocationCounter::live(), liveBefore) << "allocation " << nth << " leaked";
        if (!injected) {
            EXPECT_GT(nth, 1U);
            return;
        }
        ++failurePointsSwept;
    }
}

TEST(TillOutOfMemory, TheTillLosesNothingWhenMemoryRunsOutAndGoesOn) {
    for (bool inAFile : {false, true}) {
        for (const char* command :
             {"add dish 2", "add 3 drink item with a long, long name2", "remove drink 2", "clear",
              "next", "quit", "table bar", "move drink 2 to bar", "split dish 1 drink 1",
              "void 1 wrong", "send", "add dish 1 note no salt"}) {
            sweepTill(command, inAFile);
        }
    }
}

// The loop that feeds the till goes on after a line that ran out of memory.
TEST(TillOutOfMemory, TheTillSaysALineRanOutOfMemoryAndGoesOn) {
    class FailingFirstAllocation final : public LineReader {
    public:
        Input next() override {
            failure.reset();
            if (lines.empty()) {
                return {Input::Kind::end, "", 0};
            }
            std::string line = lines.front();
            lines.erase(lines.begin());
            if (line == "add snack 1") {
                failure.emplace(1);
            }
            return {Input::Kind::line, line, 0};
        }
        bool interactive() const override { return false; }

    private:
        std::vector<std::string> lines{"add dish 1", "add snack 1", "add drink 1"};
        std::optional<AllocationCounter::Failure> failure;
    };
    MemoryJournal journal;
    Console console(LongNamedTill::menu(), journal);
    Till till(console, "");
    FailingFirstAllocation lines;
    std::ostringstream out;
    std::ostringstream errors;
    CoutRedirect redirect(out.rdbuf());
    std::streambuf* savedErrors = std::cerr.rdbuf(errors.rdbuf());
    const int status = till.run(lines);
    std::cerr.rdbuf(savedErrors);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors.str(), "restaurant: out of memory; that line was not carried out\n");
    EXPECT_EQ(out.str().find("Added " + longName("Item")), 0U);
    EXPECT_NE(out.str().find("Today's total revenue is  2 $"), std::string::npos) << out.str();
}

class CountReport : public ::testing::Environment {
public:
    void TearDown() override {
        std::cout << "Out-of-memory sweep of the till: " << failurePointsSwept
                  << " failure points exercised, each followed by " << goingOn.size()
                  << " more commands" << std::endl;
    }
};
const auto* const countReport = ::testing::AddGlobalTestEnvironment(new CountReport);

}  // namespace
