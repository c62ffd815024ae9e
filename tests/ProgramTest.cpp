// The restaurant program as a till's user and its owner run it: options,
// menu files, the journal's place, a day kept and resumed, and the commands
// that read past days.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "tests/ChildProcess.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"
#include "tests/Terminal.h"

namespace {

namespace fs = std::filesystem;

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";

class RestaurantProgram : public TempFolder {
protected:
    std::string journal() const { return " --journal " + file("journal.db"); }
};

const char* const twoCustomers =
    "add dish 1\\nadd 2 drink green\\nnext\\nadd snack chicken\\nremove snack 1\\n"
    "add dish grilled\\n";

TEST_F(RestaurantProgram, ReadsCommandsFromStandardInputAndReportsAtTheEnd) {
    const ProgramRun run =
        runProgram("printf 'add dish 1\\nadd drink 2\\n' | " + program + journal());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "Added Beef noodle soup to customer 1's cart\n"
              "Added Green tea to customer 1's cart\n"
              "Customer 1 paid 14.50 $\n"
              "Today's total cost is 9.3 $\nToday's total revenue is  14.5 $\n"
              "Today's total Profit is  5.2 $\n");
}

TEST_F(RestaurantProgram, ReplaysADemoDayEchoingEachCommandAndKeepsNoJournal) {
    const ProgramRun run =
        runProgram("RESTAURANT_JOURNAL=" + file("demo.db") + " " + program + " --demo < /dev/null");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("> menu\nWe offer following maindishes : \n", 0), 0U);
    const std::string end =
        "> quit\nCustomer 3 paid 6.00 $\nToday's total cost is 30.3 $\n"
        "Today's total revenue is  45.5 $\nToday's total Profit is  15.2 $\n";
    ASSERT_GE(run.output.size(), end.size());
    EXPECT_EQ(run.output.substr(run.output.size() - end.size()), end);
    EXPECT_FALSE(fs::exists(file("demo.db")));
}

TEST_F(RestaurantProgram, PrintsUsageAndVersionAndRejectsBadOptionsWithStatusTwo) {
    const ProgramRun help = runProgram(program + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: restaurant [OPTIONS] [SUBCOMMAND]\n", 0), 0U);
    for (const char* command : {"menu", "days", "report", "summary", "receipt", "export"}) {
        const ProgramRun sub = runProgram(program + " " + command + " --help");
        EXPECT_EQ(sub.status, 0) << command;
        EXPECT_EQ(sub.output.rfind(std::string("Usage: restaurant ") + command, 0), 0U)
            << sub.output;
    }
    EXPECT_EQ(runProgram(program + " --version").output, "restaurant 1.0.0\n");

    for (const char* wrong : {" --verbose", " --demo extra", " -x", " --demo --menu m.csv",
                              " --no-journal --journal j.db", " receipt 1", " report one"}) {
        const ProgramRun run = runProgram(program + wrong + " 2>&1 >/dev/null < /dev/null");
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_NE(run.output.find("Run with --help for more information."), std::string::npos)
            << wrong << ": " << run.output;
    }
}

TEST_F(RestaurantProgram, SellsFromAMenuFileAndRefusesABadOneWithStatusTwo) {
    const std::string menu = file("menu.csv");
    std::ofstream(menu) << "Name;Kind;Price;Cost\r\nPho;dish;9,5;4\r\nPHO;DISH;9;x\r\n";
    const ProgramRun refused =
        runProgram("echo 'add dish 1' | " + program + " --menu " + menu + journal() + " 2>&1");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.output,
              menu + ":3: 'PHO' is already on line 2 as a dish: give each dish its own name\n" +
                  menu +
                  ":3: 'x' is not a number: write the cost as a number with a point, for "
                  "example 8.50\n");
    EXPECT_FALSE(fs::exists(file("journal.db"))) << "a bad menu touches no journal";

    std::ofstream(menu) << "Name;Kind;Price;Cost\r\nPho;dish;9.5;4\r\n";
    const ProgramRun sold =
        runProgram("echo 'add dish pho' | " + program + " --menu " + menu + journal());
    EXPECT_EQ(sold.status, 0);
    EXPECT_EQ(sold.output,
              "Added Pho to customer 1's cart\nCustomer 1 paid 9.50 $\n"
              "Today's total cost is 7 $\nToday's total revenue is  9.5 $\n"
              "Today's total Profit is  2.5 $\n");
    EXPECT_EQ(runProgram(program + " menu --menu " + menu).output,
              "kind,name,price,cost\ndish,Pho,9.5,4\n");

    const ProgramRun missing = runProgram(program + " --menu /no/such/menu.csv 2>&1");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output,
              "/no/such/menu.csv:1: cannot be read: No such file or directory: check the path, "
              "or make a menu file with: restaurant menu > menu.csv\n");
}

TEST_F(RestaurantProgram, KeepsItsJournalWhereTheEnvironmentSaysAndNowhereWithoutOne) {
    const std::string day = "echo 'add dish 1' | ";
    EXPECT_EQ(runProgram(day + "RESTAURANT_JOURNAL=" + file("named.db") + " " + program).status, 0);
    EXPECT_TRUE(fs::exists(file("named.db")));
    EXPECT_EQ(
        runProgram(day + "env -u RESTAURANT_JOURNAL XDG_DATA_HOME=" + file("data") + " " + program)
            .status,
        0);
    EXPECT_TRUE(fs::exists(file("data/restaurant/journal.db")));
    EXPECT_EQ(runProgram(day + "env -u RESTAURANT_JOURNAL -u XDG_DATA_HOME HOME=" + file("home") +
                         " " + program)
                  .status,
              0);
    EXPECT_TRUE(fs::exists(file("home/.local/share/restaurant/journal.db")));
    const ProgramRun memoryOnly = runProgram(day + "RESTAURANT_JOURNAL=" + file("unused.db") + " " +
                                             program + " --no-journal");
    EXPECT_EQ(memoryOnly.status, 0);
    EXPECT_FALSE(fs::exists(file("unused.db")));
}

TEST_F(RestaurantProgram, ShowsPastDaysTheirReportsSummariesReceiptsAndExports) {
    ASSERT_EQ(
        runProgram(std::string("printf '") + twoCustomers + "' | TZ=UTC " + program + journal())
            .status,
        0);
    ASSERT_EQ(runProgram("printf 'add drink 4\\n' | " + program + journal()).status, 0);

    const ProgramRun days = runProgram("TZ=UTC " + program + " days" + journal());
    EXPECT_EQ(days.status, 0);
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    ASSERT_EQ(lines(days.output), 2);
    EXPECT_NE(days.output.find("Day 1: opened "), std::string::npos);
    EXPECT_NE(days.output.find("; 2 customers, revenue 32.50 $\nDay 2: opened "), std::string::npos)
        << days.output;
    EXPECT_NE(days.output.find("; 1 customer, revenue 2.50 $\n"), std::string::npos);

    EXPECT_EQ(runProgram(program + " report 1" + journal()).output,
              "Today's total cost is 21.1 $\nToday's total revenue is  32.5 $\n"
              "Today's total Profit is  11.4 $\nZ 1\n");
    EXPECT_EQ(runProgram(program + " report" + journal()).output,
              "Today's total cost is 1.6 $\nToday's total revenue is  2.5 $\n"
              "Today's total Profit is  0.9 $\nZ 2\n");

    const ProgramRun receipt = runProgram("TZ=UTC " + program + " receipt 1 1" + journal());
    EXPECT_EQ(receipt.status, 0);
    EXPECT_NE(receipt.output.find("  Beef noodle soup  12.50 $\n"
                                  "  Green tea          2.00 $\n"
                                  "  Green tea          2.00 $\n"
                                  "  Total             16.50 $\n"),
              std::string::npos)
        << receipt.output;

    const ProgramRun summary = runProgram("TZ=UTC " + program + " summary 1" + journal());
    EXPECT_EQ(summary.status, 0);
    EXPECT_NE(summary.output.find("Items removed         1 (worth 5.00 $)\n"), std::string::npos)
        << summary.output;
    EXPECT_NE(summary.output.find("Total                        4    32.50                21.10   "
                                  "11.40\n"),
              std::string::npos)
        << summary.output;

    const ProgramRun exported = runProgram(program + " export 1" + journal());
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.output.rfind("day,customer,sale_id,paid_at,kind,name,price,cost,"
                                    "total_cost,void,vat_rate,vat,method,table,staff,z\r\n1,1,",
                                    0),
              0U);
    EXPECT_EQ(lines(exported.output), 5) << "a header and one row per item sold";

    for (const char* unknown :
         {" report 9", " summary 0", " export 3", " receipt 1 3", " receipt 7 1"}) {
        const ProgramRun run = runProgram(program + unknown + journal() + " 2>&1");
        EXPECT_EQ(run.status, 2) << unknown;
        EXPECT_EQ(lines(run.output), 1) << unknown << ": " << run.output;
    }
    const ProgramRun none = runProgram(program + " days --journal " + file("none.db") + " 2>&1");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.output, "restaurant: there is no journal at " + file("none.db") +
                               " yet: the till makes it when it first runs\n");
}

TEST_F(RestaurantProgram, ResumesADayThatStoppedAndRefusesASecondTillWhileReadersGoOn) {
    using std::chrono::milliseconds;
    {
        ChildProcess till({RESTAURANT_PATH, "--journal", file("journal.db")});
        till.type("add dish 1\nadd 2 drink green\nnext\nadd snack chicken\n");
        std::string line;
        for (int acknowledged = 0; acknowledged < 4; ++acknowledged) {
            ASSERT_TRUE(till.readLine(line, milliseconds(10000)));
        }
        const ProgramRun second = runProgram("echo next | " + program + journal() + " 2>&1");
        EXPECT_EQ(second.status, 1);
        EXPECT_EQ(second.output, "restaurant: journal " + file("journal.db") +
                                     " is in use by another restaurant program\n");
        const ProgramRun days = runProgram(program + " days" + journal());
        EXPECT_NE(days.output.find(", open; 1 customer, revenue 16.50 $"), std::string::npos)
            << days.output;
        EXPECT_TRUE(till.kill());
    }
    const ProgramRun resumed = runProgram("echo cart | " + program + journal());
    EXPECT_EQ(resumed.status, 0);
    EXPECT_EQ(resumed.output.rfind("Resumed day 1: 1 customer paid; customer 2's cart holds 1 "
                                   "item\nCustomer 2's cart:\n",
                                   0),
              0U)
        << resumed.output;
    EXPECT_NE(resumed.output.find("Customer 2 paid 5.00 $\nToday's total cost is 14.6 $\n"),
              std::string::npos)
        << resumed.output;
}

// The menu lives in the journal: imported once, whole or not at all, it
// sells at every start, and the welcome names it and the journal.
TEST_F(RestaurantProgram, ImportsAMenuIntoTheJournalWholeOrNotAtAll) {
    const std::string menu = file("menu.csv");
    std::ofstream(menu) << "kind,name,price,cost\ndish,Pho,9.50,4\ndrink,Tea,2,0.5\n"
                        << "drink,Café au lait,3.20,0.80\n";
    const ProgramRun imported = runProgram(program + " menu import " + menu + journal());
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.output, "Imported " + menu + " into journal " + file("journal.db") +
                                   ": 1 main dish, 0 snacks, 2 drinks\n");
    const std::string stored =
        "kind,name,price,cost\ndish,Pho,9.5,4\ndrink,Tea,2,0.5\n"
        "drink,Café au lait,3.2,0.8\n";
    EXPECT_EQ(runProgram(program + " menu" + journal()).output, stored);

    const std::string bad = file("bad.csv");
    std::ofstream(bad) << "kind,name,price,cost\ndish,Soup,1.005,1\n";
    const ProgramRun refused = runProgram(program + " menu import " + bad + journal() + " 2>&1");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.output,
              bad + ":2: '1.005' has more than two decimals: give whole cents, like 1.01\n");
    EXPECT_EQ(runProgram(program + " menu" + journal()).output, stored) << "the menu stays";

    // Names match without letter case or accents; all-digit words alone
    // are serial numbers.
    EXPECT_EQ(runProgram("printf 'add drink CAFE\\nadd drink 2\\n' | " + program + journal())
                  .output.rfind("Added Café au lait to customer 1's cart\n"
                                "Added Café au lait to customer 1's cart\n",
                                0),
              0U);

    Terminal terminal({RESTAURANT_PATH, "--journal", file("journal.db")});
    EXPECT_TRUE(terminal.showsNext("Welcome. Journal: " + file("journal.db") +
                                   ". Selling the menu imported from " + menu + " on "))
        << terminal.screen();
    ChildProcess till({RESTAURANT_PATH, "--journal", file("other.db")});
    till.type("help\n");
    std::string line;
    ASSERT_TRUE(till.readLine(line, std::chrono::milliseconds(10000)));
    // A till that holds the journal takes the import itself, through its
    // control socket, and sells from the new menu at once.
    EXPECT_EQ(
        runProgram(program + " menu import " + menu + " --journal " + file("other.db") + " 2>&1")
            .output,
        "The till sells from the new menu, version 2, of 3 items: items ordered before keep "
        "their prices\n");
    till.type("menu\n");
    ASSERT_TRUE(till.readLine(line, std::chrono::milliseconds(10000)));
}

// Every amount of the program's own has two decimals, from a cent to over a
// million, the report's lines are exact, and the sums agree to the cent
// wherever they are shown.
TEST_F(RestaurantProgram, PrintsExactAmountsFromCentsToMillions) {
    const std::string menu = file("menu.csv");
    std::ofstream(menu) << "kind,name,price,cost\ndish,Banquet,2469.13,1200\n"
                        << "dish,Wedding,617283.95,300000.05\nsnack,Olive,0.01,0\n";
    const ProgramRun day = runProgram(
        "printf 'add 5 dish 1\\nnext\\nadd 2 dish 2\\nadd 3 snack 1\\ncart\\nnext\\n' | " +
        program + " --menu " + menu + journal());
    EXPECT_NE(day.output.find("Customer 1 paid 12345.65 $; customer 2 is next\n"),
              std::string::npos)
        << day.output;
    EXPECT_NE(day.output.find("Customer 2 pays 1234567.93 $ in all\n"), std::string::npos);
    EXPECT_NE(day.output.find("Customer 2 paid 1234567.93 $; customer 3 is next\n"),
              std::string::npos);
    const std::string report =
        "Today's total cost is 606027.1 $\n"
        "Today's total revenue is  1246913.58 $\n"
        "Today's total Profit is  640886.48 $\n";
    EXPECT_NE(day.output.find(report), std::string::npos)
        << "the report's lines in their shortest exact form, never losing a cent";
    // The close's Z number follows the three lines.
    EXPECT_EQ(runProgram(program + " report" + journal()).output, report + "Z 1\n");
    EXPECT_NE(runProgram(program + " days" + journal()).output.find("revenue 1246913.58 $\n"),
              std::string::npos);
    const std::string summary = runProgram(program + " summary" + journal()).output;
    EXPECT_NE(summary.find("Average per customer  623456.79 $\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("dish   Wedding      2  1234567.90            600006.10  634561.80\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Total              10  1246913.58            606027.10  640886.48\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(runProgram(program + " receipt 1 2" + journal())
                  .output.find("  Total         1234567.93 $\n"),
              std::string::npos);
}

// A command whose output cannot be written fails, and says so once.
TEST_F(RestaurantProgram, FailsWhenItsOutputCannotBeWritten) {
    ASSERT_EQ(runProgram("echo 'add dish 1' | " + program + journal()).status, 0);
    for (const char* command : {" days", " report 1", " summary 1", " receipt 1 1", " export 1",
                                " menu", " --help", " --version"}) {
        std::string line = program + command;
        line.append(std::string(command).rfind(" --", 0) == 0 ? "" : journal());
        const ProgramRun run = runProgram(line.append(" 2>&1 >/dev/full"));
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.output, "restaurant: cannot write the output: No space left on device\n")
            << command;
    }
}

}  // namespace

namespace {

class WebTillProgram : public TempFolder {
protected:
    std::string journal() const { return " --journal " + file("journal.db"); }
};

// Staff are added with a PIN typed twice and kept hashed; the web till
// refuses the network while there is no staff to sign in.
TEST_F(WebTillProgram, KeepsStaffPinsHashedAndServesTheNetworkOnlyToStaff) {
    const auto staff = [&](const std::string& pins, const std::string& words) {
        return runProgram("printf '" + pins + "' | " + program + " staff " + words + journal() +
                          " 2>&1");
    };
    const ProgramRun open = runProgram(program + " serve --listen 0.0.0.0:0" + journal() + " 2>&1");
    EXPECT_EQ(open.status, 2);
    EXPECT_EQ(open.output, "restaurant: add staff first: restaurant staff add NAME\n");
    EXPECT_EQ(runProgram(program + " serve --listen nowhere" + journal() + " 2>&1").status, 2);
    EXPECT_EQ(staff("12\\n12\\n", "add Ana").output, "restaurant: a PIN is 4 to 12 digits\n");
    EXPECT_EQ(staff("2468\\n8642\\n", "add Ana").output,
              "restaurant: the two PINs differ; nothing changed\n");
    EXPECT_EQ(staff("", "list").output, "");
    EXPECT_EQ(staff("7391\\n7391\\n", "add Ana").output, "Added Ana to the staff\n");
    EXPECT_EQ(staff("", "list").output, "Ana\n");
    std::string bytes;
    for (const char* kept : {"journal.db", "journal.db-wal"}) {
        std::ifstream file(this->file(kept), std::ios::binary);
        bytes.append(std::istreambuf_iterator<char>(file), {});
    }
    EXPECT_NE(bytes.find("$argon2id$"), std::string::npos);
    EXPECT_EQ(bytes.find("7391"), std::string::npos) << "the PIN is kept only hashed";
    EXPECT_EQ(staff("", "remove Bea").status, 2);
    EXPECT_EQ(staff("", "remove Ana").output, "Removed Ana from the staff\n");
    EXPECT_EQ(staff("", "list").output, "");
}

}  // namespace
