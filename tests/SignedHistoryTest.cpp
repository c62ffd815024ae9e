// A history rewritten from the journal's file alone: records cut from its
// end, a price changed with every hash recomputed, the days re-signed with a
// key of the forger's own. The anchor, the signed heads and the accountant's
// fingerprint each stop one of them.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "journal/SigningKey.h"
#include "tests/RewrittenJournal.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"

namespace {

namespace fs = std::filesystem;

const std::string program = std::string("\"") + RESTAURANT_PATH + "\"";

class SignedHistory : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        journal = file("journal.db");
        key = file("config/signing.key");
        for (const char* sold : {"add dish 1\\npay\\n", "add 2 drink 1\\npay cash 20\\n",
                                 "add snack 1\\npay card\\n"}) {
            ASSERT_EQ(till(std::string(sold) + "close\\nquit\\n").status, 0);
        }
    }

    ProgramRun till(const std::string& lines) const {
        return runProgram("printf '" + lines + "' | " + program + " --journal " + journal +
                          " --signing-key " + key + " 2>&1");
    }
    ProgramRun run(const std::string& command) const {
        return runProgram(program + " " + command + " --journal " + journal + " 2>&1");
    }

    void rewrite(const std::function<void(JournalEntry&)>& change,
                 const SigningKey* signer = nullptr) const {
        rewriteJournal(journal, change, signer);
    }

    std::string journal;
    std::string key;
};

TEST_F(SignedHistory, APriceChangedWithEveryHashRecomputedFailsUnlessReSignedAndThenFailsTheKey) {
    ASSERT_EQ(run("verify").output,
              "Day 1: 8 records, each as it was written\n"
              "Day 2: 9 records, each as it was written\n"
              "Day 3: 7 records, each as it was written\n");
    const ProgramRun printed = run("key");
    ASSERT_EQ(printed.status, 0);
    const std::size_t at = printed.output.find("Fingerprint: ");
    ASSERT_NE(at, std::string::npos) << printed.output;
    const std::string fingerprint = printed.output.substr(at + 13, 39);
    EXPECT_EQ(run("verify --public-key " + fingerprint).status, 0);
    EXPECT_NE(run("export 2 --signed-head").output.find("\r\n# day 2 head 9 "), std::string::npos);

    // A drink of day 2 sold for a cent more, the day's line made to match.
    rewrite([](JournalEntry& entry) {
        if (entry.day == 2 && entry.type == JournalEntry::Type::add) {
            entry.price = *entry.price + Money::fromCents(1);
        }
        if (entry.day == 2 && entry.type == JournalEntry::Type::close) {
            entry.revenue = *entry.revenue + Money::fromCents(2);
        }
    });
    ProgramRun checked = run("verify");
    EXPECT_EQ(checked.status, 1);
    EXPECT_NE(checked.output.find("is damaged: day 2's head is not signed by the key the chain "
                                  "names"),
              std::string::npos)
        << checked.output;

    // The forger signs every day again with a key of their own, named in
    // the chain in place of the till's.
    const SigningKey forger = SigningKey::at(file("forger.key"));
    rewrite(
        [&](JournalEntry& entry) {
            if (entry.type == JournalEntry::Type::key) {
                entry.name = SigningKey::hexOf(forger.publicKey());
            }
        },
        &forger);
    EXPECT_EQ(run("verify").status, 0) << "the file alone cannot tell";
    checked = run("verify --public-key " + fingerprint);
    EXPECT_EQ(checked.status, 1);
    EXPECT_NE(checked.output.find("fails the check: day 1 is signed by the key " +
                                  SigningKey::fingerprintOf(forger.publicKey()) + ", not by " +
                                  fingerprint),
              std::string::npos)
        << checked.output;
    EXPECT_EQ(run("verify --public-key 0000:1111").status, 1);
}

// Records cut from the end with the anchor deleted too: the till and verify
// refuse until someone checks and writes a new anchor, which the chain then
// records.
TEST_F(SignedHistory, AJournalThatLostItsAnchorIsRefusedUntilANewOneIsWrittenAfterACheck) {
    {
        SQLite::Database database(journal, SQLite::OPEN_READWRITE);
        database.exec("DELETE FROM entry WHERE day = 3; DELETE FROM day WHERE number = 3");
    }
    EXPECT_EQ(run("verify").status, 1) << "the anchor tells of day 3";
    fs::remove(journal + "-head");
    for (const ProgramRun& refused : {run("verify"), till("quit\\n")}) {
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.output.find("has lost its anchor " + journal +
                                      "-head, which tells when records were cut from its end"),
                  std::string::npos)
            << refused.output;
    }
    EXPECT_EQ(run("days").status, 0) << "the days can still be read, to check them";
    const ProgramRun renewed = run("verify --new-anchor");
    EXPECT_EQ(renewed.status, 0) << renewed.output;
    EXPECT_EQ(run("verify").output,
              "Day 1: 8 records, each as it was written\n"
              "Day 2: 9 records, each as it was written\n"
              "Day 3: 2 records, each as it was written\n");
    EXPECT_EQ(till("add dish 1\\npay\\nclose\\nquit\\n").status, 0);
    EXPECT_EQ(run("verify").status, 0);
}

}  // namespace
