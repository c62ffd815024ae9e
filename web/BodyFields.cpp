#include "web/BodyFields.h"

#include <limits>

#include "base/Text.h"

BodyFields::BodyFields(const nlohmann::json& body) : body(body) {}

bool BodyFields::has(const char* name) const { return field(name) != nullptr; }

std::string BodyFields::text(const char* name, const std::string& fallback,
                             const std::string& fault) {
    const nlohmann::json* value = field(name);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->is_string()) {
        found(fault);
        return fallback;
    }
    return value->get<std::string>();
}

// The JSON parser has already refused bytes that are not UTF-8.
std::string BodyFields::freeText(const char* name, const std::string& fault) {
    std::string words = text(name, "", fault);
    if (!isFreeText(words, longestFreeText)) {
        found(fault);
        return "";
    }
    return words;
}

// A number past 64 bits is parsed as a double, or as an unsigned integer
// past the signed range: neither is an integer here.
std::int64_t BodyFields::integer(const char* name, std::int64_t fallback, std::int64_t least,
                                 std::int64_t most, const std::string& fault) {
    const nlohmann::json* value = field(name);
    if (value == nullptr) {
        return fallback;
    }
    const bool inSignedRange =
        value->is_number_integer() &&
        (!value->is_number_unsigned() ||
         value->get<std::uint64_t>() <=
             static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
    if (!inSignedRange || value->get<std::int64_t>() < least || value->get<std::int64_t>() > most) {
        found(fault);
        return fallback;
    }
    return value->get<std::int64_t>();
}

std::vector<std::string> BodyFields::texts(const char* name, const std::string& fault) {
    std::vector<std::string> listed;
    const nlohmann::json* value = field(name);
    if (value == nullptr) {
        return listed;
    }
    if (!value->is_array()) {
        found(fault);
        return listed;
    }
    for (const nlohmann::json& each : *value) {
        if (!each.is_string() || each.get<std::string>().empty()) {
            found(fault);
            return {};
        }
        listed.push_back(each.get<std::string>());
    }
    return listed;
}

std::optional<nlohmann::json> BodyFields::numberOrText(const char* name, const std::string& fault) {
    const nlohmann::json* value = field(name);
    if (value != nullptr && value->is_string() && !value->get<std::string>().empty()) {
        return *value;
    }
    if (value != nullptr && value->is_number_integer()) {
        const std::int64_t number =
            integer(name, 0, 1, std::numeric_limits<std::int64_t>::max(), fault);
        return number > 0 ? std::optional<nlohmann::json>(number) : std::nullopt;
    }
    found(fault);
    return std::nullopt;
}

const std::optional<std::string>& BodyFields::fault() const { return first; }

const nlohmann::json* BodyFields::field(const char* name) const {
    const auto found = body.find(name);
    return found == body.end() ? nullptr : &*found;
}

void BodyFields::found(const std::string& fault) {
    if (!first) {
        first = fault;
    }
}
