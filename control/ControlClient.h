#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// ControlClient sends one request to the till that holds a journal, through
// its control socket, and returns the answer: nothing when no till answers
// there, so that the caller may change the journal itself.
class ControlClient {
public:
    [[nodiscard]] static std::optional<nlohmann::json> ask(const std::string& journalPath,
                                                           const nlohmann::json& request);
    // Prints the answer's words: the said on standard output, an error on
    // standard error. Returns 0, or 1 for an error.
    static int told(const nlohmann::json& answer);
};
