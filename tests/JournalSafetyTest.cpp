// A journal that cannot be fooled: one till per file whatever its path, a
// file moved under a running till, a newer version hidden in the log,
// special names, owner-only files, closed standard descriptors, input that
// fails, read-only copies, plain numbers and an export a spreadsheet cannot
// run.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "journal/JournalSchema.h"
#include "tests/ChildProcess.h"
#include "tests/JournalFile.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";

class JournalSafety : public TempFolder {
protected:
    std::string on(const std::string& journal) const { return " --journal " + journal; }
    ProgramRun day(const std::string& journal, const std::string& commands) const {
        return runProgram("printf '" + commands + "' | " + program + on(journal) + " 2>&1");
    }
    std::string days(const std::string& journal) const {
        return runProgram(program + " days" + on(journal) + " 2>&1").output;
    }
    // A till on `journal` that has acknowledged one item.
    std::unique_ptr<ChildProcess> tillHolding(const std::string& journal) const {
        auto till = std::make_unique<ChildProcess>(
            std::vector<std::string>{RESTAURANT_PATH, "--journal", journal});
        till->type("add dish 1\n");
        std::string line;
        EXPECT_TRUE(till->readLine(line, milliseconds(10000)));
        EXPECT_EQ(line, "Added Beef noodle soup to customer 1's cart");
        return till;
    }
};

unsigned modeOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// A symbolic link names the real file: a second till through it finds that
// file's lock, and a till through it keeps the anchor and the log beside
// the file. A second name by a hard link is refused by every command: a
// copy kept aside, or a file changed under a name nobody watches.
TEST_F(JournalSafety, ALinkedJournalIsTheRealFileAndASecondNameIsRefused) {
    const std::string journal = file("journal.db");
    const auto till = tillHolding(journal);
    fs::create_symlink(journal, file("symbolic.db"));
    const ProgramRun second = day(file("symbolic.db"), "add dish 2\\n");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.output,
              "restaurant: journal " + journal + " is in use by another restaurant program\n");
    till->type("next\nquit\n");
    EXPECT_EQ(till->waitForExit(), 0);
    EXPECT_EQ(day(file("symbolic.db"), "add dish 2\\nnext\\n").status, 0);
    EXPECT_FALSE(fs::exists(file("symbolic.db-head")) || fs::exists(file("symbolic.db-wal")))
        << "nothing is named beside the link";
    EXPECT_NE(days(file("symbolic.db")).find("Day 2: "), std::string::npos);

    fs::create_hard_link(journal, file("hard.db"));
    for (const std::string& name : {journal, file("hard.db")}) {
        for (const char* command : {"", " days", " verify", " report 1"}) {
            const ProgramRun refused =
                runProgram(program + command + on(name) + " < /dev/null 2>&1");
            EXPECT_NE(refused.status, 0) << command;
            EXPECT_EQ(refused.output, "restaurant: " + name + " has 2 names\n") << command;
        }
    }
    fs::remove(file("hard.db"));
    EXPECT_NE(days(journal).find("Day 2: "), std::string::npos);
}

// What was acknowledged before the move stays with the moved file; nothing
// is written after it.
TEST_F(JournalSafety, ATillWhoseJournalIsMovedOrDeletedRefusesEveryLaterCommand) {
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "renamed");
        const std::string journal = file("journal.db");
        const auto till = tillHolding(journal);
        if (deleted) {
            fs::remove(journal);
        } else {
            fs::rename(journal, file("archive.db"));
            fs::rename(journal + "-head", file("archive.db-head"));
        }
        till->type("add dish 2\nnext\n");
        till->endInput();
        EXPECT_EQ(till->waitForExit(), 1);
        if (!deleted) {
            EXPECT_NE(days(file("archive.db")).find("open; 0 customers"), std::string::npos)
                << days(file("archive.db"));
            EXPECT_EQ(runProgram("printf 'cart\\n' | " + program + on(file("archive.db")))
                          .output.rfind("Resumed day 1: 0 customers paid; customer 1's cart holds "
                                        "1 item\n",
                                        0),
                      0U);
        }
        EXPECT_FALSE(fs::exists(journal));
    }
}

TEST_F(JournalSafety, ANewerVersionWrittenOnlyToTheLogIsRefusedAndLeftAsItWas) {
    const std::string journal = file("journal.db");
    ASSERT_EQ(day(journal, "add dish 1\\nnext\\nquit\\n").status, 0);
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(journal.c_str(), &database), SQLITE_OK);
    sqlite3_db_config(database, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const std::string newer = "PRAGMA user_version = " + std::to_string(JournalSchema::version + 1);
    ASSERT_EQ(sqlite3_exec(database, newer.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(database);
    ASSERT_GT(fs::file_size(journal + "-wal"), 0U) << "the new version is in the log alone";
    const std::string before = bytesOf(journal) + bytesOf(journal + "-wal");
    const std::string refused =
        "restaurant: " + journal + " was written by a newer restaurant (journal version " +
        std::to_string(JournalSchema::version + 1) + "; this one reads up to " +
        std::to_string(JournalSchema::version) + ")\n";
    EXPECT_EQ(day(journal, "add dish 1\\n").output, refused);
    EXPECT_EQ(days(journal), refused);
    EXPECT_EQ(bytesOf(journal) + bytesOf(journal + "-wal"), before);
}

TEST_F(JournalSafety, OnlyPlainFilePathsAreJournals) {
    std::ofstream(file("menu.csv")) << "kind,name,price,cost\ndish,Soup,1,1\n";
    for (const std::string& special :
         {std::string(":memory:"), "file:" + file("other.db"), std::string()}) {
        for (const std::string& command :
             {std::string(), std::string(" days"), " menu import " + file("menu.csv")}) {
            std::string line = "echo 'add dish 1' | " + program;
            line.append(command).append(" --journal '").append(special).append("' 2>&1");
            const ProgramRun run = runProgram(line);
            EXPECT_EQ(run.status, 1) << special << command;
            std::string refused = "restaurant: '";
            refused.append(special).append(
                "' is not a journal's path: give the path of a plain file, such as journal.db\n");
            EXPECT_EQ(run.output, refused) << command;
        }
    }
    EXPECT_FALSE(fs::exists(file("other.db")));
}

// Made under umask 0, the journal, its log and the folders made for it are
// still the owner's alone; a symbolic link where a lock file once stood is
// never followed, and a refused path leaves nothing behind.
TEST_F(JournalSafety, TheJournalAndItsFoldersAreTheOwnersAloneWhateverTheUmask) {
    const std::string journal = file("new/folder/journal.db");
    ASSERT_EQ(
        runProgram("(umask 0; printf 'add dish 1\\n' | " + program + on(journal) + " > /dev/null)")
            .status,
        0);
    EXPECT_EQ(modeOf(file("new")), 0700U);
    EXPECT_EQ(modeOf(file("new/folder")), 0700U);
    EXPECT_EQ(modeOf(journal), 0600U);
    for (const char* beside : {"-wal", "-shm"}) {
        if (fs::exists(journal + beside)) {
            EXPECT_EQ(modeOf(journal + beside), 0600U) << beside;
        }
    }
    fs::create_symlink(file("victim"), file("linked.db.lock"));
    EXPECT_EQ(day(file("linked.db"), "add dish 1\\n").status, 0);
    EXPECT_FALSE(fs::exists(file("victim"))) << "the lock followed a symbolic link";

    EXPECT_EQ(runProgram(program + " --journal " + file("gone/deeper/x.db") +
                         " --menu /no/such/menu.csv 2>/dev/null")
                  .status,
              2);
    EXPECT_EQ(runProgram(program + " --journal /dev/full < /dev/null 2>/dev/null").status, 1);
    EXPECT_FALSE(fs::exists(file("gone")));
    EXPECT_FALSE(fs::exists("/dev/full.lock"));
}

// With the standard descriptors closed at the start, nothing the till
// prints may land in a file it opens.
TEST_F(JournalSafety, ClosedStandardDescriptorsNeverStandForTheJournal) {
    const std::string journal = file("journal.db");
    ASSERT_EQ(runProgram("printf 'add dish 1\\nnext\\nsummary\\nquit\\n' | " + program +
                         on(journal) + " >&- 2>&-")
                  .status,
              0);
    EXPECT_EQ(integrityOf(journal), "ok");
    EXPECT_NE(days(journal).find("1 customer, revenue 12.50 $"), std::string::npos)
        << days(journal);
    EXPECT_EQ(runProgram(program + " days" + on(journal) + " <&- >&- 2>&-").status, 0);
    EXPECT_EQ(integrityOf(journal), "ok");
}

// A read error is a hang-up, not the end of a script: nothing is charged.
TEST_F(JournalSafety, CommandsThatCannotBeReadLeaveTheDayOpen) {
    const std::string journal = file("journal.db");
    EXPECT_EQ(day(journal, "add dish 1\\n").status, 0);  // paid: a script's end
    ChildProcess till({RESTAURANT_PATH, "--journal", journal});
    till.type("add snack 1\n");
    std::string line;
    ASSERT_TRUE(till.readLine(line, milliseconds(10000)));
    till.kill();
    const ProgramRun unreadable = runProgram(program + on(journal) + " < / 2>&1");
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(
        unreadable.output.find("restaurant: cannot read the commands: Is a directory; the day "
                               "stays open, nothing charged\n"),
        std::string::npos)
        << unreadable.output;
    EXPECT_NE(days(journal).find("Day 2: opened"), std::string::npos);
    EXPECT_NE(days(journal).find("open; 0 customers, revenue 0.00 $"), std::string::npos)
        << days(journal);
}

// A cleanly closed journal, and one a till left with its log, are read in a
// folder the reader may not write.
// A folder of its own, under /tmp, that every user may enter and read.
class OpenFolder {
public:
    OpenFolder() {
        char pattern[] = "/tmp/restaurant-readers-XXXXXX";
        path = mkdtemp(pattern) != nullptr ? pattern : "";
        chmod(path.c_str(), 0755);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    ~OpenFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }

    std::string path;
};

TEST_F(JournalSafety, TheReadCommandsReadAJournalTheyMayNotWrite) {
    const std::string journal = file("journal.db");
    ASSERT_EQ(day(journal, "add dish 1\\nnext\\nquit\\n").status, 0);
    {
        const auto till = tillHolding(journal);
        till->type("next\n");
        std::string line;
        ASSERT_TRUE(till->readLine(line, milliseconds(10000)));
        till->kill();
    }
    // root may write anywhere: it reads as a user that may not, with the
    // program and the journal in a folder that user can reach, wherever the
    // build is.
    const bool root = geteuid() == 0;
    const OpenFolder open;
    const std::string from = root ? open.path : folder.string();
    const std::string readonly = from + "/readonly";
    fs::create_directories(readonly);
    for (const char* name : {"journal.db", "journal.db-wal"}) {
        if (fs::exists(file(name))) {
            fs::copy_file(file(name), readonly + "/" + name);
            chmod((readonly + "/" + name).c_str(), 0444);
        }
    }
    chmod(readonly.c_str(), 0555);
    std::string reader = RESTAURANT_PATH;
    if (root) {
        reader = open.path + "/restaurant";
        fs::copy_file(RESTAURANT_PATH, reader);
        chmod(reader.c_str(), 0755);
        reader = "runuser -u nobody -- " + reader;
    }
    const ProgramRun run = runProgram(reader + " days" + on(readonly + "/journal.db") + " 2>&1");
    chmod(readonly.c_str(), 0755);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Day 2: opened"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("open; 1 customer, revenue 12.50 $"), std::string::npos)
        << run.output;
}

TEST_F(JournalSafety, NumbersInArgumentsArePlainDecimal) {
    const std::string journal = file("journal.db");
    std::string script;
    for (int customer = 1; customer <= 10; ++customer) {
        script += "add drink " + std::to_string(customer % 4 + 1) + "\\nnext\\n";
    }
    ASSERT_EQ(day(journal, script).status, 0);
    const ProgramRun ten = runProgram(program + " receipt 1 010" + on(journal));
    EXPECT_EQ(ten.status, 0);
    EXPECT_EQ(ten.output.rfind("Receipt: day 1, customer 10\n", 0), 0U) << ten.output;
    for (const char* wrong : {" receipt 1 0x1", " receipt 1 -1", " report +1", " summary 1e1"}) {
        const ProgramRun run = runProgram(program + wrong + on(journal) + " 2>&1");
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_NE(run.output.find("is not a number in plain digits, like 3"), std::string::npos)
            << run.output;
    }
}

TEST_F(JournalSafety, TheExportGivesASpreadsheetNoFormulaToRun) {
    const std::string menu = file("menu.csv");
    std::ofstream(menu) << "kind,name,price,cost\ndish,\"=HYPERLINK(\"\"x\"\")\",1,1\ndish,+1,1,1\n"
                        << "dish,-2,1,1\ndish,@SUM(A1),1,1\ndish,a=b,1,1\n";
    const std::string journal = file("journal.db");
    ASSERT_EQ(runProgram("printf 'add dish 1\\nadd dish 2\\nadd dish 3\\nadd dish 4\\n"
                         "add dish 5\\n' | " +
                         program + " --menu " + menu + on(journal))
                  .status,
              0);
    const std::string exported = runProgram(program + " export" + on(journal)).output;
    for (const char* cell :
         {",\"'=HYPERLINK(\"\"x\"\")\",", ",'+1,", ",'-2,", ",'@SUM(A1),", ",a=b,"}) {
        EXPECT_NE(exported.find(cell), std::string::npos) << cell << "\n" << exported;
    }
    EXPECT_EQ(runProgram(program + " menu" + on(journal)).output,
              "kind,name,price,cost\ndish,\"=HYPERLINK(\"\"x\"\")\",1,1\ndish,+1,1,1\n"
              "dish,-2,1,1\ndish,@SUM(A1),1,1\ndish,a=b,1,1\n")
        << "the menu reads back as it was";
}

// Each day is verified when it is read: a changed record refuses the
// commands that read its day, and verify names it, while other days, and a
// till on a sound open day, go on. The list of days reads each closed day's
// line from its close: a changed close refuses it, as it refuses verify.
TEST_F(JournalSafety, ADamagedRecordIsFoundWhereverItsDayIsRead) {
    const std::string journal = file("journal.db");
    for (const char* commands : {"add dish 1\\nnext\\nquit\\n", "add 2 drink 1\\nnext\\nquit\\n"}) {
        ASSERT_EQ(day(journal, commands).status, 0);
    }
    ASSERT_EQ(runProgram("printf 'add snack 1\\n' | " + program + on(journal)).status, 0);
    const ProgramRun sound = runProgram(program + " verify" + on(journal));
    EXPECT_EQ(sound.status, 0);
    // Day 1 names the till's signing key too.
    EXPECT_EQ(sound.output,
              "Day 1: 8 records, each as it was written\n"
              "Day 2: 9 records, each as it was written\n"
              "Day 3: 7 records, each as it was written\n");

    ASSERT_EQ(tamper(journal, "UPDATE entry SET price = 1 WHERE day = 2 AND seq = 3"), SQLITE_OK);
    const std::string damaged =
        "restaurant: journal " + journal + " is damaged: day 2, record 3 does not match its hash\n";
    for (const char* command :
         {" verify", " report 2", " summary 2", " export 2", " receipt 2 1"}) {
        const ProgramRun run = runProgram(program + command + on(journal) + " 2>&1");
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.output, std::string(command) == " verify"
                                  ? "Day 1: 8 records, each as it was written\n" + damaged
                                  : damaged)
            << command;
    }
    EXPECT_EQ(runProgram(program + " report 1" + on(journal)).status, 0);
    EXPECT_EQ(runProgram(program + " report 3" + on(journal)).status, 0);
    EXPECT_EQ(runProgram(program + " days" + on(journal)).status, 0)
        << "the days' lines, each at its close, stand";
    EXPECT_EQ(day(journal, "next\\nquit\\n").status, 0) << "the open day is sound";

    ASSERT_EQ(tamper(journal, "UPDATE entry SET revenue = 99999 WHERE day = 1 AND seq = 8"),
              SQLITE_OK);
    const std::string line =
        "restaurant: journal " + journal + " is damaged: day 1, record 8 does not match its hash\n";
    for (const char* command : {" days", " verify"}) {
        const ProgramRun run = runProgram(program + command + on(journal) + " 2>&1");
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.output, line) << command;
    }
}

}  // namespace
