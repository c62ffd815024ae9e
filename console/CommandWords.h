#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "service/Commands.h"

// CommandWords reads the words the till's commands share: numbers, names
// made of several words, kinds and the items they name, each with the line
// that says what is wrong with them.
class CommandWords {
public:
    // Returns the words from `from` to `to`, one space between each.
    // Returns the words of a line, split at white space.
    static std::vector<std::string> split(const std::string& line);
    static std::string joined(const std::vector<std::string>& words, std::size_t from,
                              std::size_t to);
    // Returns a word of digits alone as a number; nothing when it is too
    // large for an int.
    static std::optional<std::int64_t> digitsOf(const std::string& word);
    // Says that `word` is no kind, with an example of the command.
    static std::string unknownKind(const std::string& word, const char* example);
    // Returns the item the words from `from` to `to` name: a word of digits
    // alone is a number, anything else a name; `shown` is the command that
    // shows the numbers.
    static std::variant<ItemChoice, std::string> itemOf(const std::vector<std::string>& words,
                                                        std::size_t from, std::size_t to,
                                                        const char* shown);
};
