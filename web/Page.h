#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Page is the web till's page, compiled into the program: its HTML, style
// and script modules, found by path, and the headers that keep it to itself.
class Page {
public:
    struct File {
        std::string type;
        std::string_view text;
    };

    // Returns the file at that path ("/" is the page), if there is one.
    static std::optional<File> find(const std::string& path);
    // Returns the headers every file of the page is served with: a policy
    // that lets it load nothing from elsewhere and run no inline script.
    static std::vector<std::pair<std::string, std::string>> headers();
};
