// The journal's promises at its file: a journal that cannot be opened
// starts nothing, a read-only file or a second till is refused, the log's
// room is never taken for a log, each acknowledged command is one commit,
// and files that are not journals are left as they were; a reader beside a
// busy till never takes its appends for damage.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"
#include "testing/FaultyVfs.h"

#include "console/Console.h"
#include "journal/ChainedDays.h"
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

TEST_F(JournalFolder, AJournalThatCannotBeOpenedStartsNothingAndLosesNothing) {
    const std::string path = file("open.db");
    {
        TillOnFile till(path);
        till.handle("add dish 1");
    }
    const std::string kept = bytesOf(path);
    for (int nth = 1;; ++nth) {
        FaultyVfs::arm(FaultyVfs::Operation::open, nth, SQLITE_CANTOPEN);
        try {
            TillOnFile till(path);
            FaultyVfs::disarm();
            EXPECT_FALSE(FaultyVfs::injected());
            EXPECT_NE(stateOf(till.console).find("1. Noodle soup"), std::string::npos);
            break;
        } catch (const JournalError& error) {
            EXPECT_TRUE(FaultyVfs::injected());
            EXPECT_EQ(std::string(error.what()).rfind("cannot open journal " + path + ": ", 0), 0U)
                << error.what();
            EXPECT_EQ(bytesOf(path), kept);
        }
    }
    FaultyVfs::disarm();
}

TEST_F(JournalFolder, RefusesToWriteAReadOnlyFileAndGoesOn) {
    const std::string path = file("read-only.db");
    {
        TillOnFile till(path);
        till.handle("add dish 1");
    }
    FaultyVfs::openReadOnly(true);
    TillOnFile till(path);
    EXPECT_EQ(till.handle("add dish 2"),
              "restaurant: could not record 'add dish 2': attempt to write a readonly database; "
              "nothing changed\n");
    EXPECT_NE(stateOf(till.console).find("1. Noodle soup\nThe total"), std::string::npos);
}

TEST_F(JournalFolder, RefusesASecondTillAndAFolderThatCannotBeMade) {
    const std::string path = file("shared.db");
    TillOnFile first(path);
    first.handle("add dish 1");
    EXPECT_THROW(
        {
            try {
                SqliteJournal second(path, SqliteJournal::Access::till);
            } catch (const JournalError& error) {
                EXPECT_EQ(std::string(error.what()),
                          "journal " + path + " is in use by another restaurant program");
                throw;
            }
        },
        JournalError);
    SqliteJournal reader(path, SqliteJournal::Access::reading);
    EXPECT_EQ(reader.day(1)->items.size(), 1U) << "a reader sees what the till acknowledged";

    std::ofstream(file("a-file")) << "not a folder";
    try {
        SqliteJournal nowhere(file("a-file") + "/journal.db", SqliteJournal::Access::till);
        ADD_FAILURE() << "a journal under a file";
    } catch (const JournalError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot make the folder " + file("a-file") +
                                                 " for journal " + file("a-file") +
                                                 "/journal.db: Not a directory");
    }
}

// The till makes room for its log as it starts, so that commits overwrite
// it rather than grow it; the room is no log at all, neither damage nor a
// log that would hide a journal cut short.
TEST_F(JournalFolder, MakesRoomForItsLogThatCommitsOverwriteAndThatIsNeverTakenForALog) {
    const std::string path = file("room.db");
    const std::string early = file("early.db");
    {
        // A till stopped before its first commit leaves room and no log.
        SqliteJournal opened(file("opened.db"), SqliteJournal::Access::till);
        EXPECT_EQ(bytesOf(file("opened.db-wal")).find_first_not_of('\0'), std::string::npos);
        fs::copy_file(file("opened.db"), early);
        fs::copy_file(file("opened.db-wal"), early + "-wal");
    }
    TillOnFile resumed(early);
    EXPECT_EQ(resumed.handle("add dish 1"), "");
    EXPECT_EQ(SqliteJournal(early, SqliteJournal::Access::reading).day(1)->items.size(), 1U);
    {
        TillOnFile till(path);
        const auto room = fs::file_size(path + "-wal");
        EXPECT_GT(room, 4000000U);
        for (int round = 0; round < 300; ++round) {
            till.handle("add dish 1");
            till.handle("remove dish 1");
        }
        EXPECT_EQ(fs::file_size(path + "-wal"), room) << "the log grew";
    }

    // A journal cut short beside a log of nothing but room.
    std::string whole = bytesOf(path);
    ASSERT_GT(whole.size(), 8192U);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);
    std::ofstream(path + "-wal", std::ios::binary | std::ios::trunc) << std::string(65536, '\0');
    try {
        SqliteJournal cut(path, SqliteJournal::Access::reading);
        ADD_FAILURE() << "a journal cut short was read";
    } catch (const JournalError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "journal " + path + " is damaged: it is shorter than it says, cut off");
    }
}

// One journal transaction per acknowledged command, none for one refused or
// one that only reads.
TEST_F(JournalFolder, CommitsOnceForEachAcknowledgedCommandAndNeverOtherwise) {
    TillOnFile till(file("commits.db"));
    int commits = 0;
    sqlite3_commit_hook(
        till.journal.handle(),
        [](void* counted) {
            ++*static_cast<int*>(counted);
            return 0;
        },
        &commits);
    const std::vector<std::pair<std::string, int>> lines = {
        {"add dish 1", 1},
        {"add 5 drink tea", 1},
        {"add dish 9", 0},
        {"add drink z", 0},
        {"add pizza 1", 0},
        {"remove drink 6", 0},
        {"remove drink 5", 1},
        {"menu", 0},
        {"cart", 0},
        {"report", 0},
        {"summary", 0},
        {"help", 0},
        {"next", 1},
        {"next", 0},
        {"receipt", 0},
        {"receipt 9", 0},
        {"clear", 0},
        {"add snack chips", 1},
        {"clear", 1},
        {"add 2 snack 1", 1},
        {"table 5", 1},
        {"table 5", 0},
        {"tables", 0},
        {"add dish 1", 1},
        {"move dish 1 to 7", 1},
        {"counter", 1},
        {"split snack 1", 1},
        {"table 7", 1},
        {"pay", 1},
        {"void 2 rang up twice", 1},
        {"void 2 again", 0},
        {"pay cash 1", 0},
        {"quit", 2},
    };
    for (const auto& [line, expected] : lines) {
        const int before = commits;
        till.handle(line);
        EXPECT_EQ(commits - before, expected) << line;
    }
}

// Returns the journal a till wrote and left, its WAL checkpointed away.
std::string aJournalIn(const std::string& path) {
    TillOnFile till(path);
    for (const char* line :
         {"add dish 1", "add 2 drink 2", "next", "add snack 1", "add drink tea", "quit"}) {
        till.handle(line);
    }
    return path;
}

TEST_F(JournalFolder, RefusesFilesThatAreNotSoundJournalsAndLeavesThemAsTheyWere) {
    const std::string text = file("notes.txt");
    std::ofstream(text) << "kind,name,price,cost\n";

    const std::string other = file("other.db");
    sqlite3* database = nullptr;
    sqlite3_open(other.c_str(), &database);
    sqlite3_exec(database, "CREATE TABLE t (x); INSERT INTO t VALUES (1)", nullptr, nullptr,
                 nullptr);
    sqlite3_close(database);

    const std::string cut = aJournalIn(file("cut.db"));
    const std::string whole = bytesOf(cut);
    ASSERT_GT(whole.size(), 8192U);
    std::ofstream(cut, std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);

    const std::string newer = aJournalIn(file("newer.db"));
    std::string bytes = bytesOf(newer);
    bytes[63] = static_cast<char>(JournalSchema::version + 1);  // user_version, big-endian at 60
    std::ofstream(newer, std::ios::binary | std::ios::trunc) << bytes;

    const std::vector<std::pair<std::string, std::string>> refused = {
        {text, text + " is not a restaurant journal"},
        {other, other + " is not a restaurant journal: it is another program's SQLite database"},
        {cut, "journal " + cut + " is damaged: it is shorter than it says, cut off"},
        {newer, newer + " was written by a newer restaurant (journal version " +
                    std::to_string(JournalSchema::version + 1) + "; this one reads up to " +
                    std::to_string(JournalSchema::version) + ")"},
    };
    const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";
    for (const auto& [path, line] : refused) {
        const std::string before = bytesOf(path);
        for (const char* command : {"", " days", " report 1"}) {
            std::string run = "echo 'add dish 1' | " + program;
            run += command;
            run += " --journal " + path + " 2>&1";
            const ProgramRun ran = runProgram(run);
            EXPECT_EQ(ran.status, 1) << path << command;
            EXPECT_EQ(ran.output, "restaurant: " + line + "\n") << command;
        }
        EXPECT_EQ(bytesOf(path), before) << path;
        EXPECT_FALSE(fs::exists(path + "-wal")) << path;
    }
}

}  // namespace

namespace {

// A day's row and its records are read in one snapshot: a till that
// appends between the two reads is no damage.
TEST_F(JournalFolder, AReaderBesideATillThatSellsSeesASoundDayEveryTime) {
    const std::string path = file("busy.db");
    TillOnFile till(path);
    std::atomic<bool> selling{true};
    std::thread reader([&] {
        for (int read = 0; selling; ++read) {
            try {
                SqliteJournal journal(path, SqliteJournal::Access::reading);
                (void)journal.day(1);
                (void)ChainedDays(path).day(1);
            } catch (const JournalError& error) {
                ADD_FAILURE() << "read " << read << ": " << error.what();
                return;
            }
        }
    });
    for (int sale = 0; sale < 300; ++sale) {
        till.handle("add dish 1");
        till.handle("next");
    }
    selling = false;
    reader.join();
}

}  // namespace
