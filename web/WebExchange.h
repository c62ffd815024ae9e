#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// WebRequest is one HTTP request as the web till's API reads it, whatever
// carried it: the method, the target, the headers that matter, the body and
// the address it came from.
struct WebRequest {
    std::string method;
    std::string target;
    std::string host;
    std::optional<std::string> origin;
    std::string contentType;
    std::string cookie;
    std::string idempotencyKey;
    std::string body;
    std::string peer;
    // Whether it came over TLS, so that the session's cookie says Secure.
    bool secure = false;

    // Returns the target's path, split at its slashes, without the query.
    std::vector<std::string> path() const;
    // Returns the value of the query's parameter of that name; "" when absent.
    std::string query(const std::string& name) const;
    // Returns the session's token the cookie carries, if any.
    std::string sessionToken() const;
    // Whether the body is declared as JSON: application/json, with at most
    // charset=utf-8 after it.
    bool sendsJson() const;
};

// WebAnswer is what the API answers: a status, a body of its type, headers
// of its own, and whether the connection goes on as a stream of events.
struct WebAnswer {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    bool eventStream = false;

    // Returns an answer of that status with the JSON as its body.
    static WebAnswer json(int status, const nlohmann::json& body);
    // Returns a refusal: `{"error": why}`, one line for a person.
    static WebAnswer refusal(int status, const std::string& why);
};
