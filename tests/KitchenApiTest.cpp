// The kitchen's part of the web till's API: notes, send and fire, a
// station's open tickets, items made ready and a ticket brought back, a
// whole table moved, the printers, and the kitchen's own page. Every
// refusal is checked to change nothing in the journal.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

#include "journal/MemoryJournal.h"
#include "tests/WebTill.h"

namespace {

using nlohmann::json;

TEST(KitchenApi, AnOrderIsSentMadeReadyRecalledAndMovedAndEveryRefusalChangesNothing) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    const auto post = [&](const std::string& target, const json& body,
                          const std::string& key = "") {
        return till.ask("POST", target, body.dump(), key);
    };
    const WebAnswer noted =
        post("/api/orders/5/items", {{"kind", "dish"}, {"item", 1}, {"note", "no onions"}});
    ASSERT_EQ(noted.status, 200) << noted.body;
    EXPECT_EQ(bodyOf(noted)["items"][0]["note"], "no onions");
    EXPECT_EQ(bodyOf(noted)["items"][0]["course"], 1);
    EXPECT_EQ(bodyOf(noted)["items"][0]["sent"], false);
    ASSERT_EQ(
        post("/api/orders/5/items", {{"kind", "drink"}, {"item", 1}, {"note", nullptr}}).status,
        200);
    const std::size_t before = till.entries();
    for (const json& bad : {json{{"kind", "dish"}, {"item", 1}, {"note", std::string(61, 'x')}},
                            json{{"kind", "dish"}, {"item", 1}, {"note", 7}}}) {
        EXPECT_EQ(post("/api/orders/5/items", bad).status, 400) << bad.dump();
    }
    EXPECT_EQ(post("/api/orders/5/fire", json::object()).status, 400) << "fire needs its course";
    EXPECT_EQ(post("/api/orders/5/fire", {{"course", 2}}).status, 409) << "nothing is held";
    EXPECT_EQ(till.entries(), before);

    const WebAnswer sent = post("/api/orders/5/send", json::object(), "send-once");
    ASSERT_EQ(sent.status, 200) << sent.body;
    EXPECT_EQ(bodyOf(sent)["tickets"], json::parse(R"([{"ticket": 1, "station": "kitchen",
        "items": 1}, {"ticket": 2, "station": "bar", "items": 1}])"));
    EXPECT_EQ(bodyOf(sent)["items"][0]["sent"], true);
    EXPECT_EQ(post("/api/orders/5/send", json::object(), "send-once").body, sent.body)
        << "sent again under its key, it sends nothing twice";
    EXPECT_EQ(post("/api/orders/5/send", json::object()).status, 409);

    const json kitchen = bodyOf(till.ask("GET", "/api/tickets?station=kitchen"))["tickets"];
    ASSERT_EQ(kitchen.size(), 1U);
    const std::string soup = till.ids("5")[0];
    EXPECT_EQ(kitchen[0]["ticket"], 1);
    EXPECT_EQ(kitchen[0]["order"], "5");
    EXPECT_EQ(kitchen[0]["station"], "kitchen");
    EXPECT_EQ(kitchen[0]["sent_at"], "2026-12-08T09:00:00+00:00");
    EXPECT_EQ(kitchen[0]["items"], json::parse(R"([{"id": ")" + soup + R"(", "name": "Noodle soup",
        "note": "no onions", "course": 1, "held": false, "ready": false}])"));
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/tickets"))["tickets"].size(), 2U) << "every station";

    EXPECT_EQ(post("/api/tickets/99/ready", json::object()).status, 404);
    EXPECT_EQ(post("/api/tickets/2/ready", {{"items", {soup}}}).status, 409)
        << "the soup is not the bar's";
    EXPECT_EQ(post("/api/tickets/1/ready", {{"items", "all"}}).status, 400);
    const WebAnswer ready = post("/api/tickets/1/ready", {{"items", {soup}}});
    ASSERT_EQ(ready.status, 200) << ready.body;
    EXPECT_EQ(bodyOf(ready)["items"][0]["ready"], true);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/orders"))["orders"][0]["items"][0]["ready"], true)
        << "the waiter's device sees it ready";
    EXPECT_TRUE(bodyOf(till.ask("GET", "/api/tickets?station=kitchen"))["tickets"].empty());
    ASSERT_EQ(post("/api/tickets/1/recall", json::object()).status, 200);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/tickets?station=kitchen"))["tickets"].size(), 1U);

    EXPECT_EQ(post("/api/tickets/1/reprint", json::object()).status, 409) << "no printer is set";
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/printers")), json::parse(R"({"printers": []})"));
    EXPECT_EQ(post("/api/orders/5/move", {{"all", true}, {"to", "5"}}).status, 400);
    const WebAnswer moved = post("/api/orders/5/move", {{"all", true}, {"to", "7"}});
    ASSERT_EQ(moved.status, 200) << moved.body;
    EXPECT_TRUE(till.ids("5").empty());
    EXPECT_EQ(till.ids("7").size(), 2U);
    const DayRecord day = till.service.record();
    ASSERT_EQ(day.tickets.size(), 4U) << "one MOVED ticket for each station";
    EXPECT_EQ(day.tickets[2].heading, "MOVED");
    EXPECT_EQ(day.tickets[3].movedTo, "7");
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/tickets?station=kitchen"))["tickets"][0]["order"], "5")
        << "the ticket keeps the table it was sent for";

    const WebAnswer page = till.ask("GET", "/kitchen?station=kitchen");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<title>Kitchen</title>"), std::string::npos);
}

}  // namespace
