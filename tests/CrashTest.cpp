// A day at a real till, stopped at random moments and started again on the
// same journal, over and over: killed with SIGKILL, as a crash or a power cut
// stops it, or asked to stop with SIGTERM or SIGHUP, as a shutdown or a lost
// terminal does. After every restart the day must hold every command whose
// acknowledgement was printed, and at most the one command in flight besides,
// never part of one, and nothing charged that nobody paid; the journal must
// pass SQLite's integrity check; and each finished day must report to the
// byte what the same day reports when nothing stops it.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <vector>

#include "console/Console.h"
#include "journal/MemoryJournal.h"
#include "menu/Menu.h"
#include "tests/ChildProcess.h"
#include "tests/JournalFile.h"
#include "tests/TillState.h"

namespace {

using std::chrono::milliseconds;

const std::string program = RESTAURANT_PATH;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool isAcknowledgement(const std::string& line) {
    for (const char* start : {"Added ", "Removed ", "Cleared ", "Moved ", "Counter: "}) {
        if (line.rfind(start, 0) == 0) {
            return true;
        }
    }
    const bool paid = line.find(" paid ") != std::string::npos;
    const bool voided = line.find(" is void: ") != std::string::npos;
    return (line.rfind("Customer ", 0) == 0 && (paid || voided)) ||
           (line.rfind("Table ", 0) == 0 && (paid || line.find(": ") != std::string::npos));
}

// The state with the moments orders opened taken out: the oracle's clock
// stands still, the till's runs.
std::string withoutMoments(const std::string& state) {
    std::string kept;
    for (const std::string& line : linesOf(state)) {
        kept += line.substr(0, line.find(", opened ")) + "\n";
    }
    return kept;
}

// A command of the day at random: items added, removed, moved and paid for
// in cash, by card or otherwise, at the counter and at three tables; sales
// made void.
std::string randomCommand(std::mt19937& random) {
    static const std::vector<std::string> kinds = {"dish", "snack", "drink"};
    static const std::vector<std::string> names = {"beef",      "fried",    "spring", "onion",
                                                   "green tea", "lemonade", "tomato"};
    static const std::vector<std::string> tables = {"4", "bar", "12b"};
    const auto kind = [&] { return kinds[random() % 3]; };
    const auto number = [&](unsigned most) { return std::to_string(random() % most + 1); };
    static const std::vector<std::string> pays = {"next", "pay", "pay card", "pay other"};
    switch (random() % 14) {
        case 0:
        case 1:
            return "add " + kind() + " " + number(4);
        case 2:
            return "add " + std::to_string(random() % 4 + 2) + " " + kind() + " " + number(4);
        case 3:
            return "add " + kind() + " " + names[random() % names.size()];
        case 4:
            return "remove " + kind() + " " + number(3);
        case 5:
            return random() % 3 == 0 ? "clear"
                                     : "split " + kind() + " 1 " + kind() + " 1" +
                                           (random() % 2 == 0 ? "" : " card");
        case 6:
        case 7:
            return "table " + tables[random() % tables.size()];
        case 8:
            return "counter";
        case 9:
            return "move " + kind() + " " + number(2) + " to " + tables[random() % tables.size()];
        case 10:
            return "void " + number(8) + " rang up twice";
        case 11:
            return random() % 3 == 0   ? "send"
                   : random() % 2 == 0 ? "move all to " + tables[random() % tables.size()]
                                       : "add dish " + number(3) + " note no salt";
        default:
            return pays[random() % pays.size()];
    }
}

// The day's commands, each one the till acknowledges with one line, and what
// the till shows after each prefix of them: the states a restart may find.
struct ScriptedDay {
    ScriptedDay() {
        std::mt19937 random(20261208);
        MemoryJournal journal;
        Console oracle(builtinMenu(), journal, [] { return Moment{0}; });
        oracle.start();
        states.push_back(withoutMoments(stateOf(oracle)));
        // The day ends with every table paid, then a customer at the
        // counter who pays, so quit only reports.
        const std::vector<std::string> ending = {"table 4", "pay",        "table bar",
                                                 "pay",     "table 12b",  "pay",
                                                 "counter", "add dish 1", "next"};
        std::size_t ends = 0;
        while (ends < ending.size()) {
            const std::string command =
                commands.size() < 70 ? randomCommand(random) : ending[ends++];
            std::ostringstream said;
            {
                CoutRedirect redirect(said.rdbuf());
                oracle.handle(command);
            }
            const std::vector<std::string> lines = linesOf(said.str());
            if (lines.size() == 1 && isAcknowledgement(lines[0])) {
                commands.push_back(command);
                states.push_back(withoutMoments(stateOf(oracle)));
            }
        }
    }

    std::vector<std::string> commands;
    std::vector<std::string> states;
};

int killsWanted() {
    const char* wanted = std::getenv("RESTAURANT_CRASH_KILLS");
    return wanted == nullptr ? 200 : std::atoi(wanted);
}

// Mostly SIGKILL; one stop in four asks politely.
int stopSignal(std::mt19937& random) {
    switch (random() % 8) {
        case 0:
            return SIGTERM;
        case 1:
            return SIGHUP;
        default:
            return SIGKILL;
    }
}

TEST(Crash, ADayKilledAtRandomMomentsLosesNoAcknowledgedCommandAndReportsTheSame) {
    std::signal(SIGPIPE, SIG_IGN);
    const ScriptedDay day;
    const std::size_t total = day.commands.size();
    const std::string folder = testing::TempDir() + "crash-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    // The same day, run without a stop: its report, and the time a command takes.
    std::vector<std::string> reference;
    const auto started = std::chrono::steady_clock::now();
    {
        ChildProcess till({program, "--journal", folder + "/reference.db"});
        std::string script;
        for (const std::string& command : day.commands) {
            script += command + "\n";
        }
        till.type(script + "quit\n");
        for (std::string line; till.readLine(line, milliseconds(20000));) {
            reference.push_back(line);
        }
        ASSERT_EQ(till.waitForExit(), 0);
    }
    const auto perCommand =
        (std::chrono::steady_clock::now() - started) / static_cast<int>(total + 1);
    ASSERT_EQ(reference.size(), total + 3);
    reference.erase(reference.begin(), reference.end() - 3);

    const std::string journal = folder + "/crashed.db";
    std::mt19937 random(std::random_device{}());
    const int wanted = killsWanted();
    int kills = 0;
    int polite = 0;
    int restarts = 0;
    int inFlightKept = 0;
    int reportsSeen = 0;
    int daysClosed = 0;
    std::size_t done = 0;  // commands of the open day the journal holds
    // Once enough kills are done, the day runs to its end without one.
    bool ended = false;
    // Bounded by restarts, not by the clock, so a busy machine is slower
    // but never fails for it.
    while (!ended && restarts++ < 20 * wanted + 100) {
        const bool killing = kills < wanted;
        const int signal = stopSignal(random);
        ChildProcess till({program, "--journal", journal});
        // What the restarted till holds: all that was acknowledged, and
        // perhaps the command in flight, whole; after the last command, the
        // day may have closed, and a new one opened.
        for (const char* command : stateCommands) {
            till.type(std::string(command) + "\n");
        }
        std::string found;
        std::string line;
        bool reported = false;
        const bool killEarly = killing && random() % 8 == 0;
        const auto startDeadline = killEarly ? milliseconds(random() % 30) : milliseconds(20000);
        while (!reported && till.readLine(line, startDeadline)) {
            if (line.rfind("Resumed day ", 0) != 0 && line.rfind("Day ", 0) != 0) {
                found += line + "\n";
                reported = line.rfind("Today's total Profit is", 0) == 0;
            }
        }
        if (!reported) {
            ASSERT_TRUE(killEarly) << "the till did not answer; it said:\n" << found;
            kills += till.stop(signal) ? 1 : 0;
            continue;
        }
        found = withoutMoments(found);
        if (done == total && found == day.states[0]) {
            ++daysClosed;
            done = 0;
        } else if (found != day.states[done]) {
            ASSERT_LT(done, total) << "the till resumed:\n" << found;
            ASSERT_EQ(found, day.states[done + 1])
                << "after " << done << " acknowledged commands the till resumed another state";
            ++done;
            ++inFlightKept;
        }

        std::string script;
        for (std::size_t at = done; at < total; ++at) {
            script += day.commands[at] + "\n";
        }
        till.type(script + "quit\n");
        const auto left = perCommand * static_cast<int>(total - done + 1);
        const auto stopAt = std::chrono::steady_clock::now() +
                            (killing ? std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           left * (static_cast<double>(random() % 1000) / 900.0))
                                     : std::chrono::nanoseconds(std::chrono::minutes(1)));
        std::vector<std::string> said;
        while (std::chrono::steady_clock::now() < stopAt &&
               till.readLine(line, std::chrono::duration_cast<milliseconds>(
                                       stopAt - std::chrono::steady_clock::now()))) {
            said.push_back(line);
        }
        const bool killed = till.stop(signal);
        for (std::string more; till.readLine(more, milliseconds(0));) {
            said.push_back(more);
        }
        const std::size_t remaining = total - done;
        const std::size_t acknowledged = std::min(said.size(), remaining);
        for (std::size_t at = 0; at < acknowledged; ++at) {
            ASSERT_TRUE(isAcknowledgement(said[at])) << said[at];
        }
        done += acknowledged;
        if (said.size() == remaining + 3) {
            ASSERT_EQ(std::vector<std::string>(said.end() - 3, said.end()), reference);
            ++reportsSeen;
        }
        if (killed) {
            ++kills;
            polite += signal == SIGKILL ? 0 : 1;
        } else {
            ASSERT_EQ(said.size(), remaining + 3) << "the till ended by itself before its report";
            ++daysClosed;
            done = 0;
            ended = !killing;
        }
        if (std::filesystem::exists(journal)) {
            ASSERT_EQ(integrityOf(journal), "ok");
        }
    }
    std::cout << "Crash test: " << kills << " stops survived (" << polite
              << " by SIGTERM or SIGHUP), " << inFlightKept << " commands in flight kept whole, "
              << daysClosed << " days closed, " << reportsSeen
              << " reports equal to the uninterrupted day's, "
              << "0 acknowledged commands lost" << std::endl;
    EXPECT_GE(kills, wanted) << "the restarts ran out first";
    EXPECT_TRUE(ended) << "the last day did not end";
    std::filesystem::remove_all(folder);
}

}  // namespace
