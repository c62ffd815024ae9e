#include "console/MoneyCommandParser.h"

#include "base/ItemKind.h"
#include "base/Text.h"
#include "console/CommandWords.h"

namespace {

using Parsed = MoneyCommandParser::Parsed;

const char* const discountForms =
    "'discount' needs a percentage or an amount and a reason, for example: discount 10% "
    "regular, discount 5.00 birthday, or for one item: discount dish 1 50% cold";

// The percentage or amount at words[at], and the reason after it.
Parsed discountFrom(const std::vector<std::string>& words, std::size_t at, Command command) {
    if (words.size() < at + 2) {
        return std::string(discountForms);
    }
    if (const std::optional<std::int64_t> percent = MoneyCommandParser::percentOf(words[at])) {
        command.percent = *percent;
    } else if (const std::optional<Money> amount = MoneyCommandParser::amountOf(words[at])) {
        command.amount = *amount;
    } else {
        return "'" + words[at] +
               "' is not a percentage (10%) nor an amount (5.00): " + discountForms;
    }
    command.reason = CommandWords::joined(words, at + 1, words.size());
    return command;
}

}  // namespace

std::optional<Money> MoneyCommandParser::amountOf(const std::string& word) {
    Money::Parsed read = Money::parse(word, '.');
    if (read.reading != Money::Reading::amount) {
        read = Money::parse(word, ',');
    }
    if (read.reading != Money::Reading::amount || read.amount < Money()) {
        return std::nullopt;
    }
    return read.amount;
}

std::optional<std::int64_t> MoneyCommandParser::percentOf(const std::string& word) {
    if (word.size() < 2 || word.back() != '%') {
        return std::nullopt;
    }
    const std::optional<Money> hundredths = amountOf(word.substr(0, word.size() - 1));
    return hundredths ? std::optional(hundredths->cents()) : std::nullopt;
}

Parsed MoneyCommandParser::discount(const std::vector<std::string>& words) {
    Command command;
    command.verb = Command::Verb::discount;
    if (words.size() < 2 || !kindNamed(words[1])) {
        return discountFrom(words, 1, command);
    }
    if (words.size() < 5) {
        return std::string(discountForms);
    }
    command.onItem = true;
    command.kind = *kindNamed(words[1]);
    const auto item = CommandWords::itemOf(words, 2, 3, "discount dish 1 50% cold");
    if (item.index() == 1) {
        return std::get<std::string>(item);
    }
    command.item = std::get<ItemChoice>(item);
    return discountFrom(words, 3, command);
}

Parsed MoneyCommandParser::drawer(const std::vector<std::string>& words) {
    const std::string forms =
        "'drawer' needs what and an amount: drawer open 150.00, drawer in 20.00 REASON, "
        "drawer out 20.00 REASON or drawer count 412.50";
    if (words.size() < 3) {
        return forms;
    }
    Command command;
    command.verb = Command::Verb::drawer;
    command.drawer = lowercaseWord(words[1]);
    const bool moves = command.drawer == "in" || command.drawer == "out";
    if (!moves && command.drawer != "open" && command.drawer != "count") {
        return "'" + words[1] + "' is not something the drawer does: " + forms;
    }
    const std::optional<Money> amount = amountOf(words[2]);
    if (!amount) {
        return "'" + words[2] + "' is not an amount: " + forms;
    }
    if (moves == (words.size() == 3)) {
        return moves ? "Cash in or out needs a reason: " + forms
                     : "Too many words after the amount: " + forms;
    }
    command.amount = *amount;
    command.reason = CommandWords::joined(words, 3, words.size());
    return command;
}
