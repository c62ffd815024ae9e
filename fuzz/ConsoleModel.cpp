#include "fuzz/ConsoleModel.h"

namespace consolemodel {

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line + " ") {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

std::string lower(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t at = from; at < std::min(to, words.size()); ++at) {
        text += (at == from ? "" : " ") + words[at];
    }
    return text;
}

// A number of digits alone, capped beyond any int.
bool digits(const std::string& word, long long& number) {
    if (!isAllDigits(word)) {
        return false;
    }
    number = 0;
    for (char c : word) {
        number = std::min(number * 10 + (c - '0'), 1LL << 40);
    }
    return true;
}

// The position of the one name `typed` stands for among `names`: equal when
// folded, else the only one it begins; names alike count as one, and the
// last of them is taken.
std::size_t chosenName(const std::vector<std::string>& names, const std::string& typed) {
    const std::string wanted = foldedForMatching(typed);
    std::vector<std::string> begun;
    std::string chosen;
    for (const std::string& name : names) {
        const std::string folded = foldedForMatching(name);
        if (folded == wanted) {
            chosen = folded;
            break;
        }
        if (folded.compare(0, wanted.size(), wanted) == 0 &&
            std::find(begun.begin(), begun.end(), folded) == begun.end()) {
            begun.push_back(folded);
        }
    }
    if (chosen.empty() && begun.size() == 1) {
        chosen = begun.front();
    }
    std::size_t found = names.size();
    for (std::size_t at = 0; !chosen.empty() && at < names.size(); ++at) {
        found = foldedForMatching(names[at]) == chosen ? at : found;
    }
    return found;
}

int kindOf(const std::string& word) {
    for (int kind = 0; kind < 3; ++kind) {
        if (lower(word) == kindWords[kind]) {
            return kind;
        }
    }
    return -1;
}

bool labelled(const std::string& word) {
    if (word.empty() || word.size() > 16) {
        return false;
    }
    return std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
    });
}

// The cash a line gives from `from` on, -1 when it gives none, or
// nothing when the words are no way to pay or the cash is above
// 100,000.00, a typo.
std::optional<long long> cashOf(const std::vector<std::string>& words, std::size_t from) {
    const std::string method = from < words.size() ? lower(words[from]) : "";
    if (from == words.size() ||
        ((method == "card" || method == "other") && words.size() == from + 1) ||
        (method == "cash" && words.size() == from + 1)) {
        return -1;
    }
    if (method != "cash" || words.size() != from + 2) {
        return std::nullopt;
    }
    Money::Parsed given = Money::parse(words[from + 1], '.');
    if (given.reading != Money::Reading::amount) {
        given = Money::parse(words[from + 1], ',');
    }
    if (given.reading != Money::Reading::amount || given.amount <= Money() ||
        given.amount > Money::fromCents(10'000'000)) {
        return std::nullopt;
    }
    return given.amount.cents();
}

// An amount as the till reads one: a point or a comma, two decimals at
// most, 0 or more; -1 for none.
long long amountOf(const std::string& word) {
    Money::Parsed read = Money::parse(word, '.');
    if (read.reading != Money::Reading::amount) {
        read = Money::parse(word, ',');
    }
    return read.reading == Money::Reading::amount && read.amount >= Money() ? read.amount.cents()
                                                                            : -1;
}

}  // namespace consolemodel
