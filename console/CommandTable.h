#pragma once

#include <string>
#include <variant>
#include <vector>

#include "console/Command.h"

// CommandTable is the till's one table of commands: each command's name, its
// forms with a line of help for each, and the parser of its words. It serves
// dispatch, help and Tab completion alike.
class CommandTable {
public:
    // What parsing a line gives: a command, or one line saying what was
    // wrong and what to type.
    using Parsed = std::variant<Command, std::string>;
    using Parser = Parsed (*)(const std::vector<std::string>& words);

    struct Form {
        const char* usage;
        const char* help;
    };
    struct Entry {
        const char* name;
        std::vector<Form> forms;
        Parser parse;
    };

    // Returns the commands, in the order help lists them.
    static const std::vector<Entry>& entries();
    // Parses the words of a line, the first being the command's name.
    static Parsed parse(const std::vector<std::string>& words);
    // Returns the text of `help`.
    static std::string help();
};
