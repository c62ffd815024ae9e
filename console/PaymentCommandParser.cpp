#include "console/PaymentCommandParser.h"

#include "base/Money.h"
#include "base/Text.h"
#include "console/CommandWords.h"
#include "console/MoneyCommandParser.h"

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

// pay [cash [AMOUNT] | card | other] [tip AMOUNT], and next the same. A
// bill paid in parts names each part's way and amount before the last
// way, which pays the rest: pay cash 20 card.
Parsed PaymentCommandParser::pay(const std::vector<std::string>& words) {
    Command command;
    command.verb = Command::Verb::pay;
    std::size_t end = words.size();
    if (end >= 3 && lowercaseWord(words[end - 2]) == "tip") {
        const std::optional<Money> tip = MoneyCommandParser::amountOf(words[end - 1]);
        if (!tip) {
            return "'" + words[end - 1] +
                   "' is not an amount: type the tip, for example: " + "pay card tip 3.00";
        }
        command.tip = *tip;
        end -= 2;
    }
    std::size_t at = 1;
    while (at + 2 < end && isMethod(words[at]) && !isMethod(words[at + 1])) {
        const std::optional<Money> amount = MoneyCommandParser::amountOf(words[at + 1]);
        if (!amount || *amount == Money()) {
            return "'" + words[at + 1] +
                   "' is not the amount of a part: name each part's way "
                   "and amount, then the way the rest is paid, for example: pay cash 20 card";
        }
        command.parts.push_back({lowercaseWord(words[at]), std::nullopt, *amount});
        at += 2;
    }
    if (at < end) {
        auto payment =
            paymentOf(std::vector<std::string>(words.begin(),
                                               words.begin() + static_cast<std::ptrdiff_t>(end)),
                      at);
        if (payment.index() == 1) {
            return std::get<std::string>(payment);
        }
        command.payment = std::get<Payment>(payment);
        command.paymentStated = true;
    }
    return command;
}

// split evenly N: the bill in N equal parts, each paid by a pay of its own.
Parsed PaymentCommandParser::evenly(const std::vector<std::string>& words) {
    const std::optional<std::int64_t> parts = words.size() == 3 && isAllDigits(words[2])
                                                  ? CommandWords::digitsOf(words[2])
                                                  : std::nullopt;
    if (!parts) {
        return std::string("'split evenly' needs the number of parts, for example: split evenly 3");
    }
    Command command;
    command.verb = Command::Verb::evenly;
    command.number = *parts;
    return command;
}

// split KIND N [KIND N ...] [cash [AMOUNT] | card | other]
Parsed PaymentCommandParser::split(const std::vector<std::string>& words) {
    if (words.size() > 1 && lowercaseWord(words[1]) == "evenly") {
        return evenly(words);
    }
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
