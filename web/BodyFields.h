#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// BodyFields reads the fields of a request's JSON body strictly: each of its
// JSON type, each integer checked in 64 bits against its range, and free
// text by the rule for names. The first fault is kept, to be answered 400
// with the words given for it: a device's mistake is never a 500.
class BodyFields {
public:
    static constexpr std::size_t longestFreeText = 120;

    explicit BodyFields(const nlohmann::json& body);

    [[nodiscard]] bool has(const char* name) const;
    // Returns the field's text; `fallback` when it is absent.
    [[nodiscard]] std::string text(const char* name, const std::string& fallback,
                                   const std::string& fault);
    // Returns a person's own words (a void's reason, a note): UTF-8 without
    // control, bidirectional or invisible characters, 1 to 120 characters.
    [[nodiscard]] std::string freeText(const char* name, const std::string& fault);
    // Returns the field's integer, from `least` to `most`; `fallback` when it
    // is absent.
    [[nodiscard]] std::int64_t integer(const char* name, std::int64_t fallback, std::int64_t least,
                                       std::int64_t most, const std::string& fault);
    // Returns the field's list of texts, none empty; none when it is absent.
    [[nodiscard]] std::vector<std::string> texts(const char* name, const std::string& fault);
    // Returns a number from 1 or a non-empty text, as the field holds it.
    [[nodiscard]] std::optional<nlohmann::json> numberOrText(const char* name,
                                                             const std::string& fault);

    // The first fault found, or nothing.
    [[nodiscard]] const std::optional<std::string>& fault() const;

private:
    const nlohmann::json* field(const char* name) const;
    void found(const std::string& fault);

    const nlohmann::json& body;
    std::optional<std::string> first;
};
