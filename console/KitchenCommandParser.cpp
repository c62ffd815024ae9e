#include "console/KitchenCommandParser.h"

#include <cstdint>
#include <optional>

#include "base/Text.h"
#include "console/CommandWords.h"

namespace {

using Verb = Command::Verb;

KitchenCommandParser::Parsed numbered(Verb verb, const std::vector<std::string>& words,
                                      const std::string& needs) {
    const std::optional<std::int64_t> number = words.size() == 2 && isAllDigits(words[1])
                                                   ? CommandWords::digitsOf(words[1])
                                                   : std::nullopt;
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
        note = CommandWords::joined(words, at + 1, words.size());
        words.resize(at);
        return "";
    }
    return "";
}
