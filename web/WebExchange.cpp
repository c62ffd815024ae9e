#include "web/WebExchange.h"

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

std::string WebRequest::sessionToken() const {
    const std::size_t at = cookie.find("session=");
    if (at == std::string::npos || (at > 0 && cookie[at - 1] != ' ' && cookie[at - 1] != ';')) {
        return "";
    }
    const std::size_t start = at + 8;
    return cookie.substr(start, cookie.find(';', start) - start);
}

WebAnswer WebAnswer::json(int status, const nlohmann::json& body) {
    return {status, "application/json", DayJson::text(body), {}, false};
}

WebAnswer WebAnswer::refusal(int status, const std::string& why) {
    return json(status, {{"error", why}});
}
