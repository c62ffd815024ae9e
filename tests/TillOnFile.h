#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"
#include "testing/FaultyVfs.h"

#include "console/Console.h"
#include "journal/SqliteJournal.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"

// Each test's journals in a folder of their own, the VFS's faults undone.
class JournalFolder : public TempFolder {
protected:
    void TearDown() override {
        FaultyVfs::disarm();
        FaultyVfs::openReadOnly(false);
        TempFolder::TearDown();
    }
};

// A till on a journal file through the faulty VFS, with the lines said on
// std::cerr kept. Its clock stands still, so that the times it shows are the
// same however long a sweep runs.
struct TillOnFile {
    explicit TillOnFile(const std::string& path)
        : journal(path, SqliteJournal::Access::till, FaultyVfs::name()),
          console(SmallRestaurant::menu(), journal, [] { return Moment{1796720400}; }) {
        CoutRedirect silence(&discard);
        console.start();
    }

    // Carries out the line; returns what it said on std::cerr.
    std::string handle(const std::string& line) {
        std::ostringstream errors;
        std::streambuf* saved = std::cerr.rdbuf(errors.rdbuf());
        {
            CoutRedirect silence(&discard);
            console.handle(line);
        }
        std::cerr.rdbuf(saved);
        return errors.str();
    }

    DiscardBuffer discard;
    SqliteJournal journal;
    Console console;
};
