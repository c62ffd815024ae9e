#include "console/CommandWords.h"

#include <charconv>
#include <system_error>

#include "base/Text.h"

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
