#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "console/LineReader.h"
#include "console/StopSignals.h"

// EditLineReader reads lines from a person at a terminal through libedit:
// the arrow keys move and recall lines, history holds the day's lines, and
// Tab completes commands, kinds and the names of the menu's items. It
// prompts with "> ". Ctrl-C abandons the line being typed for a fresh
// prompt; Ctrl-D on an empty line ends the input.
class EditLineReader final : public LineReader {
public:
    // Menu item names by kind: main dishes, snacks, drinks, for completion.
    EditLineReader(std::vector<std::vector<std::string>> names, StopSignals& signals);
    EditLineReader(const EditLineReader&) = delete;
    EditLineReader& operator=(const EditLineReader&) = delete;
    ~EditLineReader() override;

    Input next() override;
    Input ask(const std::string& question) override;
    bool interactive() const override;

    // Returns what may complete the last word of `line`, the text before the
    // cursor: whole words, or the rest of an item's name from that word on.
    std::vector<std::string> completions(const std::string& line) const;

private:
    Input read(const char* prompt);
    static std::vector<std::string> namesFrom(const std::vector<std::string>& menuNames,
                                              const std::vector<std::string>& words,
                                              std::size_t from);

    std::vector<std::vector<std::string>> names;
    StopSignals& signals;
};
