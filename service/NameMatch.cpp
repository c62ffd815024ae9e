#include "service/NameMatch.h"

#include <set>

#include "base/Text.h"

NameMatch::NameMatch(const std::vector<std::string>& names, const std::string& typed) {
    const std::string wanted = foldedForMatching(typed);
    std::vector<std::string> folded;
    folded.reserve(names.size());
    for (const std::string& name : names) {
        folded.push_back(foldedForMatching(name));
    }
    std::optional<std::string> chosen;
    std::set<std::string> begun;
    for (std::size_t at = 0; at < names.size() && !chosen; ++at) {
        if (folded[at] == wanted) {
            chosen = folded[at];
        } else if (folded[at].compare(0, wanted.size(), wanted) == 0 &&
                   begun.insert(folded[at]).second) {
            several.push_back(names[at]);
        }
    }
    if (!chosen && several.size() == 1) {
        chosen = foldedForMatching(several.front());
    }
    if (chosen) {
        several.clear();
        for (std::size_t at = 0; at < names.size(); ++at) {
            if (folded[at] == *chosen) {
                place = at;
            }
        }
    }
}

const std::optional<std::size_t>& NameMatch::found() const { return place; }

const std::vector<std::string>& NameMatch::candidates() const { return several; }
