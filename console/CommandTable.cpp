#include "console/CommandTable.h"

#include <cctype>

#include "base/Money.h"
#include "base/TableLabel.h"
#include "base/Text.h"
#include "console/CommandWords.h"
#include "console/KitchenCommandParser.h"
#include "console/MoneyCommandParser.h"
#include "console/PaymentCommandParser.h"

namespace {

using Parsed = CommandTable::Parsed;
using Verb = Command::Verb;

Parsed alone(Verb verb, const std::vector<std::string>& words) {
    if (words.size() > 1) {
        const std::string name = lowercaseWord(words[0]);
        return "'" + name + "' takes nothing after it: type " + name + " alone";
    }
    Command command;
    command.verb = verb;
    return command;
}

template <Verb verb>
Parsed justThis(const std::vector<std::string>& words) {
    return alone(verb, words);
}

// add [COUNT] KIND N, or add [COUNT] KIND NAME: the words are checked in
// order, and the first that is wrong is named.
Parsed parseAdd(std::vector<std::string> words) {
    Command command;
    command.verb = Verb::add;
    if (std::string wrong = KitchenCommandParser::takeNote(words, command.note); !wrong.empty()) {
        return wrong;
    }
    std::size_t at = 1;
    if (words.size() > 1 && std::isdigit(static_cast<unsigned char>(words[1][0])) != 0) {
        const std::optional<std::int64_t> count =
            isAllDigits(words[1]) ? CommandWords::digitsOf(words[1]) : std::nullopt;
        if (!count || *count < 1 || *count > 99) {
            return "'" + words[1] +
                   "' is not a count from 1 to 99: type it before the kind, for example: add 3 "
                   "drink 2";
        }
        command.count = static_cast<int>(*count);
        at = 2;
    }
    if (words.size() < at + 2) {
        return std::string("'add' needs a kind and a serial number, for example: add dish 2");
    }
    const std::optional<ItemKind> kind = kindNamed(words[at]);
    if (!kind) {
        return CommandWords::unknownKind(words[at], "add dish 2");
    }
    command.kind = *kind;
    auto item = CommandWords::itemOf(words, at + 1, words.size(), "menu");
    if (item.index() == 1) {
        return std::get<std::string>(item);
    }
    command.item = std::get<ItemChoice>(item);
    return command;
}

Parsed parseRemove(const std::vector<std::string>& words) {
    if (words.size() < 3) {
        return std::string("'remove' needs a kind and a serial number, for example: remove dish 1");
    }
    const std::optional<ItemKind> kind = kindNamed(words[1]);
    if (!kind) {
        return CommandWords::unknownKind(words[1], "remove dish 1");
    }
    auto item = CommandWords::itemOf(words, 2, words.size(), "cart");
    if (item.index() == 1) {
        return std::get<std::string>(item);
    }
    Command command;
    command.verb = Verb::remove;
    command.kind = *kind;
    command.item = std::get<ItemChoice>(item);
    return command;
}

// void CUSTOMER REASON...
Parsed parseVoid(const std::vector<std::string>& words) {
    const std::string needs =
        "'void' needs a paid customer's number and the reason, for example: void 3 rang up twice";
    if (words.size() < 3) {
        return needs;
    }
    Command command;
    command.verb = Verb::voidSale;
    command.customer = isAllDigits(words[1]) ? CommandWords::digitsOf(words[1]) : std::nullopt;
    if (!command.customer) {
        return "'" + words[1] +
               "' is not a customer's number: " + needs.substr(needs.find(':') + 2);
    }
    command.reason = CommandWords::joined(words, 2, words.size());
    return command;
}

std::string badLabel(const std::string& word) {
    return "'" + word +
           "' is not a table's label: write 1 to 16 letters, digits or -, for example: table 12b";
}

// The order a word names: "counter" the counter's, else a table's.
std::optional<std::string> labelOf(const std::string& word) {
    if (lowercaseWord(word) == "counter") {
        return std::string();
    }
    if (isTableLabel(word)) {
        return word;
    }
    return std::nullopt;
}

// move KIND N to LABEL, move KIND NAME to LABEL, or move all to LABEL
Parsed parseMove(const std::vector<std::string>& words) {
    if (words.size() == 4 && lowercaseWord(words[1]) == "all" && lowercaseWord(words[2]) == "to") {
        const std::optional<std::string> label = labelOf(words.back());
        if (!label) {
            return badLabel(words.back());
        }
        Command command;
        command.verb = Verb::move;
        command.all = true;
        command.label = *label;
        return command;
    }
    if (words.size() < 5 || lowercaseWord(words[words.size() - 2]) != "to") {
        return std::string(
            "'move' needs an item and the table it goes to, for example: move drink 2 to 7");
    }
    const std::optional<ItemKind> kind = kindNamed(words[1]);
    if (!kind) {
        return CommandWords::unknownKind(words[1], "move drink 2 to 7");
    }
    const std::optional<std::string> label = labelOf(words.back());
    if (!label) {
        return badLabel(words.back());
    }
    auto item = CommandWords::itemOf(words, 2, words.size() - 2, "cart");
    if (item.index() == 1) {
        return std::get<std::string>(item);
    }
    Command command;
    command.verb = Verb::move;
    command.kind = *kind;
    command.item = std::get<ItemChoice>(item);
    command.label = *label;
    return command;
}

Parsed parseTable(const std::vector<std::string>& words) {
    if (words.size() != 2) {
        return std::string("'table' needs a table's label, for example: table 5");
    }
    if (!isTableLabel(words[1])) {
        return badLabel(words[1]);
    }
    Command command;
    command.verb = Verb::table;
    command.label = words[1];
    return command;
}

Parsed parseReceipt(const std::vector<std::string>& words) {
    Command command;
    command.verb = Verb::receipt;
    if (words.size() > 2) {
        return std::string(
            "Too many words: type receipt alone for the last customer, or receipt and a number");
    }
    if (words.size() == 2) {
        command.customer = isAllDigits(words[1]) ? CommandWords::digitsOf(words[1]) : std::nullopt;
        if (!command.customer) {
            return "'" + words[1] +
                   "' is not a customer's number: type receipt alone for the last customer, or "
                   "receipt and a number";
        }
    }
    return command;
}

}  // namespace

// A table of data, a row per command.
// NOLINTNEXTLINE(readability-function-size)
const std::vector<CommandTable::Entry>& CommandTable::entries() {
    static const std::vector<Entry> table = {
        {"menu", {{"menu", "the menus of main dishes, snacks and drinks"}}, justThis<Verb::menu>},
        {"add",
         {{"add dish N", "add main dish N of the menu to the order"},
          {"add snack N", "add snack N of the menu to the order"},
          {"add drink N", "add drink N of the menu to the order"},
          {"add drink NAME", "add the drink of that name, or the one it begins"},
          {"add 3 drink N", "add three at once (1 to 99), by number or by name"},
          {"add dish N note TEXT", "with a note for the kitchen, such as: note no onions"}},
         [](const std::vector<std::string>& words) { return parseAdd(words); }},
        {"remove",
         {{"remove dish N", "remove the N-th main dish from the order"},
          {"remove drink NAME", "remove the drink of that name from the order"}},
         parseRemove},
        {"clear", {{"clear", "empty the order"}}, justThis<Verb::clear>},
        {"cart", {{"cart", "the current order and its total price"}}, justThis<Verb::cart>},
        {"next",
         {{"next", "the order is paid; the next customer starts"}},
         PaymentCommandParser::pay},
        {"pay",
         {{"pay", "the same as next: paid in cash"},
          {"pay cash 50", "paid in cash, 50 given: the change is shown"},
          {"pay card", "paid by card (pay other: any other way)"},
          {"pay cash 20 card", "20 in cash, the rest by card: one sale in two parts"},
          {"pay card tip 3.00", "paid by card with a tip, which is not revenue"}},
         PaymentCommandParser::pay},
        {"split",
         {{"split dish 1 drink 2", "only those items are paid, as one customer; the rest stays"},
          {"split drink 2 card", "the same, paid as pay is"},
          {"split evenly 3", "the bill in 3 equal parts; each pay pays the next part"}},
         PaymentCommandParser::split},
        {"discount",
         {{"discount 10% REASON", "take 10 % off the order (discount 5.00 REASON: an amount)"},
          {"discount dish 1 50% REASON", "take 50 % off one item of the order"}},
         MoneyCommandParser::discount},
        {"drawer",
         {{"drawer open 150.00", "the drawer's float as the day starts"},
          {"drawer in 20.00 REASON", "cash put in (drawer out 20.00 REASON: taken out)"},
          {"drawer count 412.50", "the cash counted at the close: over or short in summary"}},
         MoneyCommandParser::drawer},
        {"table", {{"table LABEL", "work on that table's order, opened when new"}}, parseTable},
        {"counter", {{"counter", "work on the counter's order"}}, justThis<Verb::counter>},
        {"tables", {{"tables", "the open orders"}}, justThis<Verb::tables>},
        {"move",
         {{"move drink 2 to 7", "move that item to table 7's order"},
          {"move all to 7", "move the whole order to table 7's"}},
         parseMove},
        {"send",
         {{"send", "send the order's new items to the kitchen and bar"}},
         KitchenCommandParser::send},
        {"fire",
         {{"fire 2", "cook the order's course 2, sent and held until now"}},
         KitchenCommandParser::fire},
        {"reprint",
         {{"reprint N", "print kitchen ticket N again, headed COPY"}},
         KitchenCommandParser::reprint},
        {"void",
         {{"void CUSTOMER REASON", "that paid sale is void: it leaves the day's accounts"}},
         parseVoid},
        {"receipt",
         {{"receipt [CUSTOMER]", "a paid customer's receipt (the last one's alone)"}},
         parseReceipt},
        {"report",
         {{"report", "the day's cost, revenue and profit so far"}},
         justThis<Verb::report>},
        {"summary",
         {{"summary", "the day so far: customers, items sold, revenue by hour"}},
         justThis<Verb::summary>},
        {"help", {{"help", "these commands"}}, justThis<Verb::help>},
        {"quit",
         {{"quit", "the last customer pays, then the day's report; the end"}},
         justThis<Verb::quit>},
    };
    return table;
}

CommandTable::Parsed CommandTable::parse(const std::vector<std::string>& words) {
    const std::string name = lowercaseWord(words.at(0));
    for (const Entry& entry : entries()) {
        if (name == entry.name) {
            return entry.parse(words);
        }
    }
    return "Unknown command '" + words[0] + "': type help to see the commands";
}

std::string CommandTable::help() {
    std::string text = "Commands, one a line, in any letter case:";
    for (const Entry& entry : entries()) {
        for (const Form& form : entry.forms) {
            text += "\n  " + padRight(form.usage, 20) + "  " + form.help;
        }
    }
    return text;
}
