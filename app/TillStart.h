#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks of the till.
struct TillRequest {
    std::string menuFile;
    std::string journalFile;
    bool noJournal = false;
    bool demo = false;
    // The VAT rate of items whose menu gives none, in hundredths of a percent.
    std::int64_t vat = 0;
    // The file of the key that signs the days' heads; empty, the default's.
    std::string signingKey;
};

class SqliteJournal;

// Readies a till's journal: says what its upgrade changed, and has it sign
// the days' heads with the key in `keyFile`, made there at the first start.
// A key that can neither be read nor made is said, and the days go unsigned.
void readyTillJournal(SqliteJournal& journal, const std::string& keyFile);

// Starts the till as asked: the journal (or memory alone), the menu it
// sells, a welcome that names both, and the lines from a terminal or a
// script. Returns the program's exit status; throws JournalError when the
// journal cannot be opened.
int startTill(const TillRequest& request);

// Checks the menu file and, only if it has no problem, makes it the menu
// kept in the journal; returns the program's exit status.
int importMenu(const std::string& file, const std::string& journalFile);

// Writes the menu file's menu, else the journal's, else the built-in one, as
// CSV; returns the program's exit status.
int writeMenuInUse(const std::string& menuFile, const std::string& journalFile);

// Shows the restaurant's settings, or one of them, or sets one to the words
// given; returns the program's exit status.
int settingsCommand(const std::vector<std::string>& words, const std::string& journalFile);

// Returns the journal's path: the one given, else the default.
std::string journalPathOf(const std::string& given);
