#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "service/DayService.h"
#include "tests/SmallRestaurant.h"
#include "web/EventHub.h"
#include "web/PinHash.h"
#include "web/Sessions.h"
#include "web/WebApi.h"

// A web till on a journal with one member of staff, Ana, PIN 2468.
class WebTill {
public:
    // With `cheap` false, Ana's PIN is hashed as for a real till.
    explicit WebTill(Journal& given, bool cheap = true) : journal(withAna(given, cheap)) {
        service.start();
    }

    static Journal& withAna(Journal& journal, bool cheap) {
        journal.putStaff({"Ana", PinHash::of("2468", cheap), "manager"});
        return journal;
    }

    WebAnswer ask(const std::string& method, const std::string& target,
                  const std::string& body = "", const std::string& key = "") {
        WebRequest request;
        request.method = method;
        request.target = target;
        request.host = "till.local:8080";
        request.origin = "http://till.local:8080";
        request.contentType = method == "GET" ? "" : "application/json";
        request.cookie = cookie;
        request.idempotencyKey = key;
        request.body = body;
        request.peer = "192.0.2.7";
        return api.handle(request);
    }

    WebAnswer signIn(const std::string& pin, const std::string& staff = "Ana") {
        WebAnswer answer =
            ask("POST", "/api/session", nlohmann::json{{"staff", staff}, {"pin", pin}}.dump());
        for (const auto& [name, value] : answer.headers) {
            if (name == "Set-Cookie") {
                cookie = value.substr(0, value.find(';'));
            }
        }
        return answer;
    }

    std::size_t entries() { return journal.currentDay().entries.size(); }

    // Returns the ids of the order's items, in the order the API lists them.
    std::vector<std::string> ids(const std::string& order) {
        std::vector<std::string> found;
        const nlohmann::json listed = nlohmann::json::parse(ask("GET", "/api/orders").body);
        for (const nlohmann::json& open : listed["orders"]) {
            if (open["order"] == order) {
                for (const nlohmann::json& item : open["items"]) {
                    found.push_back(item["id"]);
                }
            }
        }
        return found;
    }

    Moment now = 1796720400;
    Journal& journal;
    DayService service{SmallRestaurant::menu(), journal, [this] { return now; }};
    // Kept as the server keeps them: in the journal, by the day's writer.
    Sessions sessions{[this] { return now; }, journal.sessions(),
                      [this](KeepSession change) {
                          Submission submission;
                          submission.command = std::move(change);
                          submission.tell = [](const Told&) {};
                          service.submit(std::move(submission));
                      }};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    std::string cookie;
};

inline nlohmann::json bodyOf(const WebAnswer& answer) { return nlohmann::json::parse(answer.body); }
