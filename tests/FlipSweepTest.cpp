// Damage is found, never printed as figures: a real journal of several days
// and its write-ahead log, one byte changed at a time across both files (the
// anchor beside them kept sound).
// After each change every read command, and a till resuming the open day,
// either refuses or prints exactly what it printed of the sound journal.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "console/Console.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "reports/ReadCommands.h"
#include "tests/JournalFile.h"
#include "tests/TillState.h"

namespace {

namespace fs = std::filesystem;

// Three days at a till: two closed, the third open with a cart, its last
// commits still in the log, as a crash leaves them.
void makeJournal(const std::string& path, const std::string& snapshot) {
    Moment now = 1796720400;
    SqliteJournal journal(path, SqliteJournal::Access::till);
    DiscardBuffer discard;
    CoutRedirect silence(&discard);
    const std::vector<std::vector<std::string>> days = {
        {"add 2 dish 1", "add drink 2", "remove drink 1", "next", "add 3 snack 2", "next",
         "add dish 3", "add drink tea", "next", "quit"},
        {"add dish 2", "add 2 drink 4", "next", "add snack 1", "clear", "add dish 4", "next",
         "quit"},
        {"add dish 1", "add snack 3", "next", "add 2 drink 1", "next", "add dish 2"},
    };
    for (const auto& commands : days) {
        Console console(builtinMenu(), journal, [&] { return now; });
        console.start();
        for (const std::string& command : commands) {
            now += 97;
            console.handle(command);
        }
        now += 86400;
    }
    for (const char* beside : {"", "-wal", "-head"}) {
        fs::copy_file(path + beside, snapshot + beside, fs::copy_options::overwrite_existing);
    }
}

// What the read commands print of the journal, every one of them, and what
// a till resuming its open day shows; "refused" where the journal refused.
std::vector<std::string> figuresOf(const std::string& path) {
    std::vector<std::string> figures;
    const auto read = [&](auto command) {
        std::ostringstream out;
        std::ostringstream errors;
        std::streambuf* savedErrors = std::cerr.rdbuf(errors.rdbuf());
        try {
            CoutRedirect redirect(out.rdbuf());
            SqliteJournal journal(path, SqliteJournal::Access::reading);
            out << "status " << command(journal, out) << '\n';
            figures.push_back(out.str() + errors.str());
        } catch (const JournalError&) {
            figures.emplace_back("refused");
        }
        std::cerr.rdbuf(savedErrors);
    };
    read([](Journal& journal, std::ostream& out) { return listDays(journal, out); });
    for (std::int32_t day = 1; day <= 3; ++day) {
        read([&](Journal& journal, std::ostream&) { return reportDay(journal, day); });
        read([&](Journal& journal, std::ostream& out) { return summarizeDay(journal, day, out); });
        read([&](Journal& journal, std::ostream& out) { return exportDay(journal, day, out); });
        for (std::int32_t customer = 1; customer <= 3; ++customer) {
            read([&](Journal& journal, std::ostream& out) {
                return printReceipt(journal, day, customer, out);
            });
        }
    }
    try {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        figures.push_back(stateResumedFrom(journal, builtinMenu()));
    } catch (const JournalError&) {
        figures.emplace_back("refused");
    }
    return figures;
}

// The log up to its last frame, and a page of the zeros the till makes
// room with after it: past that, the room is more of the same, which no
// reader reads.
std::string logInUse(const std::string& log) {
    std::ifstream in(log, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t last = bytes.find_last_not_of('\0');
    bytes.resize(std::min(bytes.size(), (last == std::string::npos ? 0 : last + 1) + 4096));
    return bytes;
}

int fromEnvironment(const char* name, int otherwise) {
    const char* value = std::getenv(name);
    return value == nullptr ? otherwise : std::atoi(value);
}

TEST(FlipSweep, EveryChangedByteIsRefusedOrChangesNoFigure) {
    const fs::path folder = fs::path(testing::TempDir()) / "flip-sweep";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string sound = (folder / "sound.db").string();
    makeJournal((folder / "made.db").string(), sound);
    const std::string damaged = (folder / "damaged.db").string();
    const std::string soundLog = logInUse(sound + "-wal");
    const auto copySound = [&] {
        for (const char* beside : {"-wal", "-shm"}) {
            fs::remove(damaged + beside);
        }
        fs::copy_file(sound, damaged, fs::copy_options::overwrite_existing);
        std::ofstream(damaged + "-wal", std::ios::binary | std::ios::trunc) << soundLog;
        fs::copy_file(sound + "-head", damaged + "-head", fs::copy_options::overwrite_existing);
    };
    copySound();
    const std::vector<std::string> expected = figuresOf(damaged);
    ASSERT_EQ(std::count(expected.begin(), expected.end(), "refused"), 0);

    const std::size_t fileSize = fs::file_size(sound);
    const std::size_t logSize = soundLog.size();
    std::vector<std::size_t> places(fileSize + logSize);
    for (std::size_t at = 0; at < places.size(); ++at) {
        places[at] = at;
    }
    std::mt19937 random(20261209);
    std::shuffle(places.begin(), places.end(), random);
    const int most = fromEnvironment("RESTAURANT_FLIPS", 2000);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::seconds(fromEnvironment("RESTAURANT_FLIP_SECONDS", 60));
    int tried = 0;
    int refused = 0;
    int wrong = 0;
    for (std::size_t place : places) {
        if (tried == most || std::chrono::steady_clock::now() > deadline) {
            break;
        }
        copySound();
        const bool inLog = place >= fileSize;
        const std::string target = inLog ? damaged + "-wal" : damaged;
        std::fstream bytes(target, std::ios::in | std::ios::out | std::ios::binary);
        const auto offset = static_cast<std::streamoff>(inLog ? place - fileSize : place);
        bytes.seekg(offset);
        const char was = static_cast<char>(bytes.get());
        bytes.seekp(offset);
        bytes.put(static_cast<char>(was ^ static_cast<char>(1 + random() % 255)));
        bytes.close();
        ++tried;
        const std::vector<std::string> seen = figuresOf(damaged);
        bool anyRefused = false;
        bool anyWrong = false;
        for (std::size_t at = 0; at < seen.size(); ++at) {
            anyRefused = anyRefused || seen[at] == "refused";
            anyWrong = anyWrong || (seen[at] != "refused" && seen[at] != expected[at]);
        }
        refused += anyRefused ? 1 : 0;
        wrong += anyWrong ? 1 : 0;
        EXPECT_FALSE(anyWrong) << "byte " << offset << " of the " << (inLog ? "log" : "file")
                               << " changed a figure silently";
    }
    std::cout << "Flip sweep: " << tried << " bytes changed (" << fileSize << "-byte file, "
              << logSize << "-byte log), " << refused << " refused, " << tried - refused - wrong
              << " changed no figure, " << wrong << " changed a figure silently" << std::endl;
    fs::remove_all(folder);
}

}  // namespace
