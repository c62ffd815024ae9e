// Every journal an earlier version of the program wrote, kept under
// tests/fixtures, still opens, is brought up to this version, and reports to
// the byte what that version reported: read as it is, and after a till has
// upgraded it, resumed its open day and closed it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <vector>

#include "tests/JournalFile.h"
#include "tests/RunProgram.h"

namespace {

namespace fs = std::filesystem;

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";
const fs::path fixtures = FIXTURES_PATH;

std::string textOf(const fs::path& path) { return bytesOf(path.string()); }

// Runs the program with the arguments, each after a space.
ProgramRun restaurant(std::initializer_list<std::string> arguments) {
    std::string command = program;
    for (const std::string& argument : arguments) {
        command.append(" ").append(argument);
    }
    return runProgram(command);
}

std::string reportFile(int day) { return "report-" + std::to_string(day) + ".txt"; }

std::vector<fs::path> fixtureJournals() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(fixtures)) {
        if (entry.is_directory() && entry.path().filename().string().rfind("journal-v", 0) == 0) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// What the read commands print of the journal, every day and customer, as
// one transcript.
std::string transcriptOf(const std::string& journal) {
    const std::string on = " --journal " + journal + " 2>&1";
    std::string transcript;
    const auto run = [&](const std::string& command) {
        transcript +=
            "$ restaurant " + command + "\n" + runProgram(program + " " + command + on).output;
    };
    run("days");
    for (int day = 1; day <= 3; ++day) {
        run("summary " + std::to_string(day));
        run("export " + std::to_string(day));
        for (int customer = 1; customer <= 3; ++customer) {
            run("receipt " + std::to_string(day) + " " + std::to_string(customer));
        }
    }
    return transcript;
}

std::string copied(const fs::path& fixture, const fs::path& to) {
    fs::remove_all(to);
    fs::create_directories(to);
    for (const char* file : {"journal.db", "journal.db-wal", "journal.db-head"}) {
        if (fs::exists(fixture / file)) {
            fs::copy_file(fixture / file, to / file);
        }
    }
    return (to / "journal.db").string();
}

// The days closed before their line was written with the close have it
// computed at the upgrade: verify checks it against the records, and a line
// changed after is refused wherever it is read.
void expectLinesSealed(const std::string& journal) {
    const ProgramRun verified = restaurant({"verify", "--journal", journal});
    EXPECT_EQ(verified.status, 0) << verified.output;
    ASSERT_EQ(tamper(journal, "UPDATE day_line SET revenue = revenue + 1 WHERE number = 1"),
              SQLITE_OK);
    for (const char* command : {"days", "verify"}) {
        const ProgramRun run = restaurant({command, "--journal", journal, "2>&1"});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.output.find(" is damaged: day 1's line in the list of days does not match"),
                  std::string::npos)
            << run.output;
    }
}

TEST(Fixtures, EveryOlderJournalUpgradesResumesAndReportsByteForByte) {
    const std::vector<fs::path> journals = fixtureJournals();
    ASSERT_FALSE(journals.empty());
    const fs::path scratch = fs::path(testing::TempDir()) / "fixtures";
    for (const fs::path& fixture : journals) {
        SCOPED_TRACE(fixture.filename().string());
        const std::string journal = copied(fixture, scratch / fixture.filename());
        for (int day = 1; day <= 3; ++day) {
            EXPECT_EQ(restaurant({"report", std::to_string(day), "--journal", journal}).output,
                      textOf(fixture / reportFile(day)))
                << "day " << day;
        }
        const std::string expected = textOf(fixture / "expected.txt");
        EXPECT_EQ(transcriptOf(journal), expected) << "read as it was, upgraded in memory";

        // Importing a menu takes the journal as a till does, and upgrades it.
        const std::string upgraded = copied(fixture, scratch / "upgraded");
        const std::string menu = (fixtures / "menu.csv").string();
        EXPECT_EQ(restaurant({"menu import", menu, "--journal", upgraded}).status, 0);
        EXPECT_EQ(transcriptOf(upgraded), expected) << "upgraded in place";
        EXPECT_EQ(integrityOf(upgraded), "ok");
        if (fixture.filename().string() < "journal-v7") {
            expectLinesSealed(upgraded);
        }

        // A till upgrades the file in place, resumes the open day and closes it.
        const ProgramRun resumed = restaurant(
            {"--journal", journal, "--menu", menu, "<", (fixture / "rest.txt").string()});
        EXPECT_EQ(resumed.status, 0);
        EXPECT_EQ(resumed.output.rfind(
                      "Resumed day 3: 2 customers paid; customer 3's cart holds 2 items", 0),
                  0U)
            << resumed.output;
        EXPECT_NE(
            resumed.output.find("\nDay 3 opened on 2026-12-07 at 12:10; type quit to close it "
                                "and start a new day.\n"),
            std::string::npos)
            << resumed.output;
        const std::string finished = textOf(fixture / "report-3-finished.txt");
        ASSERT_GE(resumed.output.size(), finished.size());
        EXPECT_EQ(resumed.output.substr(resumed.output.size() - finished.size()), finished);
        EXPECT_EQ(integrityOf(journal), "ok");
        for (int day = 1; day <= 2; ++day) {
            EXPECT_EQ(restaurant({"report", std::to_string(day), "--journal", journal}).output,
                      textOf(fixture / reportFile(day)));
        }
    }
}

// A table a device labelled Counter, which "counter" at the console could
// never name, is renamed by an entry of its day's chain, and the till says
// so; the renamed table is then named and paid like any other.
TEST(Fixtures, AnOpenTableLabelledCounterIsRenamedByTheUpgradeWhichSaysSo) {
    const fs::path scratch = fs::path(testing::TempDir()) / "fixtures-counter";
    const std::string journal = copied(fixtures / "journal-v7", scratch);
    const ProgramRun till = runProgram("printf 'tables\\ntable counter-table\\npay\\n' | " +
                                       program + " --journal " + journal + " 2>&1");
    EXPECT_NE(till.output.find("restaurant: journal " + journal +
                               " brought up to date: table Counter of day 3 is now "
                               "counter-table: counter names the counter's order\n"),
              std::string::npos)
        << till.output;
    EXPECT_NE(till.output.find("counter-table"), till.output.rfind("counter-table")) << till.output;
    EXPECT_EQ(till.output.find("Counter", till.output.find("brought up to date") + 60),
              std::string::npos)
        << "no table is called Counter any more:\n"
        << till.output;
    EXPECT_EQ(restaurant({"verify", "--journal", journal}).status, 0);
    EXPECT_NE(
        restaurant({"summary", "3", "--journal", journal}).output.find("Customers served      3"),
        std::string::npos)
        << "the renamed table's payment counts";
}

// Staff sign in by name as names compare: an older journal with two names
// that compare as one is refused, naming both, and left as it was.
TEST(Fixtures, AnUpgradeRefusesStaffNamesThatAreOneName) {
    const fs::path scratch = fs::path(testing::TempDir()) / "fixtures-staff";
    const std::string journal = copied(fixtures / "journal-v7", scratch);
    ASSERT_EQ(tamper(journal,
                     "INSERT INTO staff (name, pin_hash) SELECT ' ANA', pin_hash FROM "
                     "staff WHERE name = 'Ana'"),
              SQLITE_OK);
    const std::string before = textOf(journal);
    const ProgramRun till = restaurant({"--journal", journal, "< /dev/null 2>&1"});
    EXPECT_EQ(till.status, 1);
    EXPECT_NE(till.output.find("the staff names ' ANA' and 'Ana' are one name when signing in"),
              std::string::npos)
        << till.output;
    EXPECT_EQ(textOf(journal), before);
}

}  // namespace
