#include "console/PaymentCommandParser.h"

#include "base/Money.h"
#include "base/Text.h"
#include "console/CommandWords.h"

namespace {

using Parsed = PaymentCommandParser::Parsed;

const char* const payForms =
    "type pay, pay cash, pay cash and the cash given (pay cash 50), "
    "pay card or pay other";

// The payment the words from `from` on state: cash [AMOUNT], card or other.
std::variant<Payment, std::string> paymentOf(const std::vector<std::string>& words,
                                             std::size_t from) {
    Payment payment;
    payment.method = lowercaseWord(words[from]);
    const bool cash = payment.method == "cash";
    if (!cash && payment.method != "card" && payment.method != "other") {
        return "'" + words[from] + "' is not a way to pay: " + payForms;
    }
    if (words.size() > from + (cash ? 2 : 1)) {
        return "Too many words after '" + payment.method + "': " + payForms;
    }
    if (words.size() == from + 2) {
        Money::Parsed given = Money::parse(words[from + 1], '.');
        if (given.reading != Money::Reading::amount) {
            given = Money::parse(words[from + 1], ',');
        }
        if (given.reading != Money::Reading::amount || given.amount <= Money()) {
            return "'" + words[from + 1] +
                   "' is not an amount of cash: type the cash given with at most two decimals, "
                   "for example: pay cash 50";
        }
        payment.given = given.amount;
    }
    return payment;
}

bool isMethod(const std::string& word) {
    const std::string method = lowercaseWord(word);
    return method == "cash" || method == "card" || method == "other";
}

}  // namespace

// pay [cash [AMOUNT] | card | other], and next the same.
Parsed PaymentCommandParser::pay(const std::vector<std::string>& words) {
    Command command;
    command.verb = Command::Verb::pay;
    if (words.size() > 1) {
        auto payment = paymentOf(words, 1);
        if (payment.index() == 1) {
            return std::get<std::string>(payment);
        }
        command.payment = std::get<Payment>(payment);
        command.paymentStated = true;
    }
    return command;
}

// split KIND N [KIND N ...] [cash [AMOUNT] | card | other]
Parsed PaymentCommandParser::split(const std::vector<std::string>& words) {
    const std::string needs =
        "'split' needs the items paid for as kind and number, for example: split dish 1 drink 2";
    std::size_t end = 1;
    while (end < words.size() && !isMethod(words[end])) {
        ++end;
    }
    if (end < 3 || end % 2 == 0) {
        return needs;
    }
    Command command;
    command.verb = Command::Verb::split;
    if (end < words.size()) {
        auto payment = paymentOf(words, end);
        if (payment.index() == 1) {
            return std::get<std::string>(payment);
        }
        command.payment = std::get<Payment>(payment);
        command.paymentStated = true;
    }
    for (std::size_t at = 1; at < end; at += 2) {
        const std::optional<ItemKind> kind = kindNamed(words[at]);
        if (!kind) {
            return CommandWords::unknownKind(words[at], "split dish 1 drink 2");
        }
        const std::optional<std::int64_t> number =
            isAllDigits(words[at + 1]) ? CommandWords::digitsOf(words[at + 1]) : std::nullopt;
        if (!number) {
            return needs;
        }
        command.items.push_back({*kind, ItemChoice{number, ""}, ""});
    }
    return command;
}
