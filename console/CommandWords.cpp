#include "console/CommandWords.h"

#include <cctype>
#include <charconv>
#include <system_error>
#include <utility>

#include "base/Text.h"

std::vector<std::string> CommandWords::split(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty()) {
                words.push_back(std::move(word));
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

std::string CommandWords::joined(const std::vector<std::string>& words, std::size_t from,
                                 std::size_t to) {
    std::string text;
    for (std::size_t at = from; at < to; ++at) {
        text += (at == from ? "" : " ") + words[at];
    }
    return text;
}

std::optional<std::int64_t> CommandWords::digitsOf(const std::string& word) {
    int number = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, number);
    if (failure != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

std::string CommandWords::unknownKind(const std::string& word, const char* example) {
    return "Unknown kind '" + word + "': type dish, snack or drink, for example: " + example;
}

std::variant<ItemChoice, std::string> CommandWords::itemOf(const std::vector<std::string>& words,
                                                           std::size_t from, std::size_t to,
                                                           const char* shown) {
    ItemChoice item;
    if (to == from + 1 && isAllDigits(words[from])) {
        item.number = digitsOf(words[from]);
        if (!item.number) {
            return "'" + words[from] + "' is far beyond any serial number: type one shown by '" +
                   shown + "'";
        }
    } else {
        item.name = joined(words, from, to);
    }
    return item;
}
