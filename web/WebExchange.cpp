#include "web/WebExchange.h"

#include <cctype>
#include <sstream>

#include "web/DayJson.h"

std::vector<std::string> WebRequest::path() const {
    std::vector<std::string> segments;
    const std::string route = target.substr(0, target.find('?'));
    std::istringstream parts(route);
    for (std::string part; std::getline(parts, part, '/');) {
        if (!part.empty()) {
            segments.push_back(part);
        }
    }
    return segments;
}

// Station names and the like are plain words: a value is taken as it
// stands, without percent-decoding, and one that needs it matches nothing.
std::string WebRequest::query(const std::string& name) const {
    const std::size_t mark = target.find('?');
    if (mark == std::string::npos) {
        return "";
    }
    std::istringstream pairs(target.substr(mark + 1));
    for (std::string pair; std::getline(pairs, pair, '&');) {
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) == name && equals != std::string::npos) {
            return pair.substr(equals + 1);
        }
    }
    return "";
}

// Cookies are read by name: "xsession=1; session=T" holds the session T.
std::string WebRequest::sessionToken() const {
    std::istringstream pairs(cookie);
    for (std::string pair; std::getline(pairs, pair, ';');) {
        const std::size_t start = pair.find_first_not_of(' ');
        if (start != std::string::npos && pair.compare(start, 8, "session=") == 0) {
            const std::string value = pair.substr(start + 8);
            return value.substr(0, value.find_last_not_of(' ') + 1);
        }
    }
    return "";
}

bool WebRequest::sendsJson() const {
    std::string type;
    for (const char letter : contentType) {
        if (letter != ' ' && letter != '\t') {
            type.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
        }
    }
    return type == "application/json" || type == "application/json;charset=utf-8" ||
           type == "application/json;charset=\"utf-8\"";
}

WebAnswer WebAnswer::json(int status, const nlohmann::json& body) {
    return {status, "application/json", DayJson::text(body), {}, false};
}

WebAnswer WebAnswer::refusal(int status, const std::string& why) {
    return json(status, {{"error", why}});
}
