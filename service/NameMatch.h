#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// NameMatch finds the one name a person's words stand for among a list of
// names: the name they equal, letter case and accents aside, else the one
// name they begin. Names alike count as one, and the last of them is found,
// as the one most likely meant when items repeat.
class NameMatch {
public:
    NameMatch(const std::vector<std::string>& names, const std::string& typed);

    // Returns where the name found is, if one is.
    const std::optional<std::size_t>& found() const;
    // Returns the names the words begin, when they begin more than one.
    const std::vector<std::string>& candidates() const;

private:
    std::optional<std::size_t> place;
    std::vector<std::string> several;
};
