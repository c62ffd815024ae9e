#pragma once

#include <string>
#include <variant>
#include <vector>

#include "console/Command.h"

// KitchenCommandParser reads the till's lines that talk to the kitchen:
// send, fire N and reprint N, and the note that may end an add.
class KitchenCommandParser {
public:
    using Parsed = std::variant<Command, std::string>;

    static Parsed send(const std::vector<std::string>& words);
    static Parsed fire(const std::vector<std::string>& words);
    static Parsed reprint(const std::vector<std::string>& words);
    // Takes "note WORDS..." off the end of an add's words, into `note`;
    // returns what is wrong with it, if anything.
    static std::string takeNote(std::vector<std::string>& words, std::string& note);
};
