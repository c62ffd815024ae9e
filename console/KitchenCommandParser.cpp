#include "console/KitchenCommandParser.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <system_error>

#include "base/Text.h"

namespace {

using Verb = Command::Verb;

std::optional<std::int64_t> numberOf(const std::string& word) {
    std::int64_t number = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, number);
    if (!isAllDigits(word) || failure != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

KitchenCommandParser::Parsed numbered(Verb verb, const std::vector<std::string>& words,
                                      const std::string& needs) {
    const std::optional<std::int64_t> number =
        words.size() == 2 ? numberOf(words[1]) : std::nullopt;
    if (!number || *number < 1) {
        return needs;
    }
    Command command;
    command.verb = verb;
    command.number = *number;
    return command;
}

}  // namespace

KitchenCommandParser::Parsed KitchenCommandParser::send(const std::vector<std::string>& words) {
    if (words.size() > 1) {
        return std::string("'send' takes nothing after it: type send alone");
    }
    Command command;
    command.verb = Verb::send;
    return command;
}

KitchenCommandParser::Parsed KitchenCommandParser::fire(const std::vector<std::string>& words) {
    return numbered(Verb::fire, words, "'fire' needs the course to cook now, for example: fire 2");
}

KitchenCommandParser::Parsed KitchenCommandParser::reprint(const std::vector<std::string>& words) {
    return numbered(Verb::reprint, words,
                    "'reprint' needs a ticket's number, for example: reprint 12");
}

std::string KitchenCommandParser::takeNote(std::vector<std::string>& words, std::string& note) {
    for (std::size_t at = 2; at < words.size(); ++at) {
        if (lowercaseWord(words[at]) != "note") {
            continue;
        }
        if (at + 1 == words.size()) {
            return "'note' needs the words for the kitchen, for example: add dish 2 note no onions";
        }
        for (std::size_t word = at + 1; word < words.size(); ++word) {
            note += (word == at + 1 ? "" : " ") + words[word];
        }
        words.resize(at);
        return "";
    }
    return "";
}
