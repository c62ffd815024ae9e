// The web till's API, request by request: sign-in and its lockout, the rules
// that keep requests safe, every endpoint, and retries under a key. Every
// refusal is checked to change nothing in the journal.
#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "journal/MemoryJournal.h"
#include "journal/SqliteJournal.h"
#include "service/DayService.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "tests/WebTill.h"
#include "web/PinHash.h"
#include "web/WebApi.h"

namespace {

using nlohmann::json;

TEST(WebApi, SignsInOnlyWithTheRightPinAndLocksAnAddressOutAfterFiveWrongOnes) {
    MemoryJournal journal;
    WebTill till(journal);
    EXPECT_EQ(till.ask("GET", "/api/menu").status, 401);
    EXPECT_EQ(till.ask("GET", "/").status, 200) << "the page itself asks for the PIN";
    for (int wrong = 0; wrong < 5; ++wrong) {
        const WebAnswer answer = till.signIn("1111");
        EXPECT_EQ(answer.status, 401);
        EXPECT_EQ(bodyOf(answer)["error"], "wrong name or PIN");
    }
    EXPECT_EQ(till.signIn("2468").status, 429) << "the sixth try within a minute";
    till.now += 60;
    const WebAnswer signedIn = till.signIn("2468");
    ASSERT_EQ(signedIn.status, 204);
    ASSERT_EQ(signedIn.headers.size(), 1U);
    EXPECT_NE(signedIn.headers[0].second.find("; HttpOnly; SameSite=Strict; Path=/"),
              std::string::npos);
    EXPECT_EQ(till.cookie.size(), std::string("session=").size() + 32) << "128 random bits";
    EXPECT_EQ(till.ask("GET", "/api/menu").status, 200);
    till.cookie = "xsession=1; " + till.cookie + "; theme=dark";
    EXPECT_EQ(till.ask("GET", "/api/menu").status, 200) << "cookies are read by name";
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/menu"))["dish"][1],
              (json{{"number", 2}, {"name", "Fish"}, {"price_cents", 2000}, {"sold_out", false}}));
    for (int use = 0; use < 2; ++use) {
        till.now += Sessions::idleEnd - 1;
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 200) << "used within 12 hours";
    }
    till.now += Sessions::idleEnd - 1;
    EXPECT_EQ(till.ask("GET", "/api/menu").status, 401) << "more than 24 hours after it opened";
    ASSERT_EQ(till.signIn("2468").status, 204);
    till.now += Sessions::idleEnd;
    EXPECT_EQ(till.ask("GET", "/api/menu").status, 401) << "12 hours unused";
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(till.ask("DELETE", "/api/session").status, 204);
    WebRequest overTls;
    overTls.method = "POST";
    overTls.target = "/api/session";
    overTls.contentType = "application/json";
    overTls.body = R"({"staff":"Ana","pin":"2468"})";
    overTls.secure = true;
    const WebAnswer secure = till.api.handle(overTls);
    ASSERT_EQ(secure.headers.size(), 1U);
    EXPECT_NE(secure.headers[0].second.find("; Secure"), std::string::npos);
    EXPECT_EQ(till.ask("GET", "/api/orders").status, 401);
    EXPECT_EQ(till.entries(), 1U) << "nothing but the day's opening";
}

// Guesses from many addresses are held by the limit on the name, then by
// the limit on all; an address that signed in today is never locked out.
TEST(WebApi, LimitsGuessesByNameAndInAllButNeverLocksOutADeviceThatSignedIn) {
    MemoryJournal journal;
    WebTill till(journal);
    const auto tryAs = [&](const std::string& peer, const std::string& name,
                           const std::string& pin) {
        WebRequest request;
        request.method = "POST";
        request.target = "/api/session";
        request.contentType = "application/json; charset=UTF-8";
        request.body = json{{"staff", name}, {"pin", pin}}.dump();
        request.peer = peer;
        return till.api.handle(request);
    };
    EXPECT_EQ(tryAs("192.0.2.1", "  ANA ", "2468").status, 204) << "names compare as names";
    for (int guess = 0; guess < 10; ++guess) {
        EXPECT_EQ(tryAs("198.51.100." + std::to_string(guess), "Ana", "1111").status, 401);
    }
    const WebAnswer held = tryAs("198.51.100.99", "ana", "2468");
    EXPECT_EQ(held.status, 429) << "the eleventh guess at Ana, from a fresh address";
    ASSERT_EQ(held.headers.size(), 1U);
    EXPECT_EQ(held.headers[0], std::make_pair(std::string("Retry-After"), std::string("60")));
    EXPECT_EQ(tryAs("192.0.2.1", "Ana", "2468").status, 204) << "the address Ana signed in from";
    for (int guess = 0; guess < 40; ++guess) {
        EXPECT_EQ(
            tryAs("203.0.113." + std::to_string(guess), "guest" + std::to_string(guess), "1111")
                .status,
            401);
    }
    EXPECT_EQ(tryAs("203.0.113.200", "Bea", "1111").status, 429) << "fifty wrong in a minute";
    EXPECT_EQ(tryAs("192.0.2.1", "Ana", "2468").status, 204);
    till.now += 60;
    EXPECT_EQ(tryAs("198.51.100.99", "Ana", "2468").status, 204) << "a minute later";
}

// An unknown name is checked against a real hash all the same: the time a
// refusal takes tells no name.
TEST(WebApi, AnUnknownNameTakesAsLongAsAWrongPin) {
    MemoryJournal journal;
    WebTill till(journal, false);
    const auto fastest = [&](const std::string& name) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int attempt = 0; attempt < 3; ++attempt) {
            WebRequest request;
            request.method = "POST";
            request.target = "/api/session";
            request.contentType = "application/json";
            request.body = json{{"staff", name}, {"pin", "1111"}}.dump();
            request.peer = name + std::to_string(attempt);
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(till.api.handle(request).status, 401);
            best = std::min(best, std::chrono::steady_clock::now() - started);
        }
        return std::chrono::duration<double>(best).count();
    };
    const double known = fastest("Ana");
    const double unknown = fastest("Nobody");
    EXPECT_LT(unknown, 2 * known) << unknown << " s against " << known << " s";
    EXPECT_LT(known, 2 * unknown) << known << " s against " << unknown << " s";
}

TEST(WebApi, RefusesEveryBadRequestWithOneLineAndChangesNothing) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})").status, 200);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"drink","item":"tea"})").status,
              200);
    const json paid =
        json::parse(till.ask("POST", "/api/orders/5/pay", R"({"method":"card"})").body);
    const std::string sale = paid["receipt"]["sale_id"];
    ASSERT_EQ(till.ask("POST", "/api/orders/6/items", R"({"kind":"snack","item":1})").status, 200);
    ASSERT_EQ(
        till.ask("POST", "/api/sales/" + sale + "/void", R"({"reason":"rang up twice"})").status,
        200);
    const std::size_t before = till.entries();
    const std::int64_t change = till.events.change();

    WebRequest foreign;
    foreign.method = "POST";
    foreign.target = "/api/orders/6/clear";
    foreign.host = "till.local:8080";
    foreign.origin = "http://elsewhere.example";
    foreign.contentType = "application/json";
    foreign.cookie = till.cookie;
    EXPECT_EQ(till.api.handle(foreign).status, 403);
    foreign.origin.reset();
    for (const char* type : {"text/plain", "application/jsonfoo",
                             "application/json; charset=latin1", "application/json-patch+json"}) {
        foreign.contentType = type;
        EXPECT_EQ(till.api.handle(foreign).status, 415) << type;
    }
    const std::vector<std::tuple<std::string, std::string, std::string, int>> refused = {
        {"POST", "/api/orders/6/items",
         R"({"kind":"dish","item":1,"pad":")" + std::string(65536, 'x') + "\"}", 413},
        {"PUT", "/api/orders/6/items", "{}", 405},
        {"GET", "/api/nothing", "", 404},
        {"POST", "/api/orders/6/items", "not json", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"pizza","item":1})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":9})", 404},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":"lobster"})", 404},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":100})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":4294967395})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":-4294967286})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":18446744073709551615})",
         400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":1e30})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":1.5})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":1,"count":"2"})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":7,"item":1})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":-1})", 400},
        {"POST", "/api/orders/6/items", R"({"kind":"dish","item":[1]})", 400},
        {"POST", "/api/orders/6/move", R"({"items":["1-2"],"to":7})", 400},
        {"POST", "/api/orders/6/move", R"({"items":"1-2","to":"7"})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"cash","given_cents":2147484148})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"cash","given_cents":-1})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"cash","given_cents":"500"})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"card","given_cents":500})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":5})", 400},
        {"POST", "/api/session", R"({"staff":5,"pin":"2468"})", 400},
        {"POST", "/api/orders/no%20such/items", R"({"kind":"dish","item":1})", 400},
        {"POST", "/api/orders/Counter/items", R"({"kind":"dish","item":1})", 400},
        {"POST", "/api/orders/6/move", R"({"items":["1-2"],"to":"COUNTER"})", 400},
        {"DELETE", "/api/orders/6/items/1-999", "", 409},
        {"DELETE", "/api/orders/6/items/snack", "", 409},
        {"DELETE", "/api/orders/6/items/1-2/more", "", 404},
        {"POST", "/api/orders/6/move", R"({"items":["1-999"],"to":"7"})", 409},
        {"POST", "/api/orders/6/move", R"({"items":["1-2"],"to":"a b"})", 400},
        {"POST", "/api/orders/6/move", R"({"items":[],"to":"7"})", 400},
        {"POST", "/api/orders/8/pay", "{}", 409},
        {"POST", "/api/orders/6/pay", R"({"method":"cash","given_cents":100})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"cheque"})", 400},
        {"POST", "/api/orders/6/pay", R"({"items":[{"kind":"snack","position":1}]})", 400},
        {"POST", "/api/sales/no-such-sale/void", R"({"reason":"x"})", 404},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":"again"})", 409},
        {"POST", "/api/sales/" + sale + "/void", "{}", 400},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":5})", 400},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":"two\nCustomers served 0"})", 400},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":"\u001b[2Jgone"})", 400},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":"\u202ethgir"})", 400},
        {"POST", "/api/sales/" + sale + "/void", R"({"reason":")" + std::string(121, 'x') + "\"}",
         400},
        {"POST", "/api/customers/1/void", R"({"reason":"x"})", 405},
        {"POST", "/api/day/close", "{}", 409},
        {"GET", "/api/days/9/summary", "", 404},
        {"GET", "/api/days/1/receipts/7", "", 404},
        {"GET", "/api/sales/no-such-sale", "", 404},
    };
    for (const auto& [method, target, body, status] : refused) {
        const WebAnswer answer = till.ask(method, target, body);
        EXPECT_EQ(answer.status, status) << method << " " << target << ": " << answer.body;
        const json said = bodyOf(answer);
        EXPECT_TRUE(said["error"].is_string() && !said["error"].get<std::string>().empty() &&
                    said["error"].get<std::string>().find('\n') == std::string::npos)
            << answer.body;
    }
    EXPECT_EQ(till.entries(), before);
    EXPECT_EQ(till.events.change(), change);
}

TEST(WebApi, CarriesADayThroughEveryEndpointToTheCent) {
    MemoryJournal journal;
    journal.putSetting("name", "Chez Nous");
    journal.putSetting("currency", "€");
    WebTill till(journal);
    EXPECT_EQ(till.ask("GET", "/api/settings").status, 401);
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/settings")),
              json::parse(R"({"name":"Chez Nous","address":"","vat_number":"","currency":"€"})"));
    EXPECT_EQ(bodyOf(till.ask("POST", "/api/orders/5/items",
                              R"({"kind":"dish","item":"fish","count":2})"))["total_cents"],
              4000);
    EXPECT_EQ(bodyOf(till.ask("POST", "/api/orders/5/items",
                              R"({"kind":"drink","item":2})"))["total_cents"],
              4400);
    const std::vector<std::string> ids = till.ids("5");
    ASSERT_EQ(ids.size(), 3U);
    const json moved = bodyOf(
        till.ask("POST", "/api/orders/5/move", json{{"items", {ids[1]}}, {"to", "7"}}.dump()));
    EXPECT_EQ(moved["orders"][0]["total_cents"], 2400);
    EXPECT_EQ(moved["orders"][1]["order"], "7");
    EXPECT_EQ(moved["orders"][1]["items"][0]["id"], ids[1]) << "an item keeps its id as it moves";
    EXPECT_EQ(bodyOf(till.ask("DELETE", "/api/orders/7/items/" + ids[1]))["items"].size(), 0U);
    const json orders = bodyOf(till.ask("GET", "/api/orders"));
    ASSERT_EQ(orders["orders"].size(), 1U);
    EXPECT_EQ(orders["orders"][0]["order"], "5");
    EXPECT_EQ(orders["change"], till.events.change());

    const json split = bodyOf(till.ask("POST", "/api/orders/5/pay",
                                       json{{"method", "card"}, {"items", {ids[2]}}}.dump()));
    EXPECT_EQ(split["customer"], 1);
    EXPECT_EQ(split["total_cents"], 400);
    const json paid =
        bodyOf(till.ask("POST", "/api/orders/5/pay", R"({"method":"cash","given_cents":5000})"));
    EXPECT_EQ(paid["total_cents"], 2000);
    EXPECT_EQ(paid["change_cents"], 3000);
    EXPECT_EQ(paid["receipt"]["staff"], "Ana");
    ASSERT_EQ(till.ask("POST", "/api/orders/counter/items", R"({"kind":"snack","item":1})").status,
              200);
    ASSERT_EQ(till.ask("POST", "/api/orders/counter/clear", "{}").status, 200);
    const std::string card = split["receipt"]["sale_id"];
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/sales/" + card))["total_cents"], 400);
    ASSERT_EQ(till.ask("POST", "/api/sales/" + card + "/void", R"({"reason":"wrong card"})").status,
              200);

    const json summary = bodyOf(till.ask("GET", "/api/days/1/summary"));
    EXPECT_EQ(summary["customers"], 1);
    EXPECT_EQ(summary["revenue_cents"], 2000);
    EXPECT_EQ(summary["cash_expected_cents"], 2000);
    EXPECT_EQ(summary["voids"][0]["reason"], "wrong card");
    EXPECT_EQ(summary["staff"],
              json::parse(R"([{"staff":"Ana","payments":1,"revenue_cents":2000,"tips_cents":0}])"));
    EXPECT_EQ(summary["vat"], json::parse(R"([{"rate":0,"gross_cents":2000,"vat_cents":0}])"));
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/days/1/receipts/2"))["given_cents"], 5000);
    const json closed = bodyOf(till.ask("POST", "/api/day/close", "{}"));
    EXPECT_EQ(closed["report"][1], "Today's total revenue is  20 $");
    const json days = bodyOf(till.ask("GET", "/api/days"));
    ASSERT_EQ(days.size(), 2U) << "the next day opens at once";
    EXPECT_EQ(days[0]["revenue_cents"], 2000);
    EXPECT_FALSE(days[0]["closed_at"].is_null());
    EXPECT_TRUE(days[1]["closed_at"].is_null());
    EXPECT_EQ(till.ask("POST", "/api/sales/" + card + "/void", R"({"reason":"late"})").body,
              R"({"error":"day 1 is closed"})");
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/sales/" + card))["void"]["reason"], "wrong card")
        << "a past day's sale is found by its id";
}

// Two devices on one table: B removes an item; A, still showing the order
// as it was, pays, moves and removes by the ids it saw. Each of A's actions
// is refused with the order as it is now, and nothing changes.
TEST(WebApi, ADeviceActingOnAnItemAnotherDeviceRemovedIsToldAndChargesNothing) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":"noodle"})").status,
              200);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"drink","item":"tea"})").status,
              200);
    const std::vector<std::string> seenByA = till.ids("5");
    ASSERT_EQ(seenByA.size(), 2U);
    const std::string& tea = seenByA[1];
    ASSERT_EQ(till.ask("DELETE", "/api/orders/5/items/" + tea).status, 200) << "device B";
    const std::size_t entries = till.entries();
    const std::int64_t change = till.events.change();
    for (const auto& [method, target, body] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"POST", "/api/orders/5/pay", json{{"method", "card"}, {"items", {tea}}}.dump()},
             {"POST", "/api/orders/5/move", json{{"items", {seenByA[0], tea}}, {"to", "7"}}.dump()},
             {"DELETE", "/api/orders/5/items/" + tea, ""},
             {"DELETE", "/api/orders/7/items/" + seenByA[0], ""}}) {
        const WebAnswer answer = till.ask(method, target, body);
        EXPECT_EQ(answer.status, 409) << target;
        const json said = bodyOf(answer);
        EXPECT_NE(said["error"].get<std::string>().find(tea.substr(0, 1)), std::string::npos);
        const bool onFive = target.find("/5/") != std::string::npos;
        EXPECT_EQ(said["order"]["order"], onFive ? "5" : "7");
        EXPECT_EQ(said["order"]["total_cents"], onFive ? 1000 : 0) << "the order as it is now";
    }
    EXPECT_EQ(till.entries(), entries);
    EXPECT_EQ(till.events.change(), change);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/days/1/summary"))["customers"], 0);
}

// A key names one request: sent again it gets its first answer; with
// another request it is refused, and changes nothing. A repeated close
// closes one day.
TEST(WebApi, AKeyIsBoundToItsRequestAndARepeatedCloseClosesOneDay) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    const WebAnswer added =
        till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "k");
    ASSERT_EQ(added.status, 200);
    const std::size_t entries = till.entries();
    EXPECT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "k").body,
              added.body);
    for (const auto& [target, body] : std::vector<std::pair<std::string, std::string>>{
             {"/api/orders/5/items", R"({"kind":"dish","item":2})"},
             {"/api/orders/6/items", R"({"kind":"dish","item":1})"},
             {"/api/orders/5/pay", R"({"method":"card"})"}}) {
        const WebAnswer reused = till.ask("POST", target, body, "k");
        EXPECT_EQ(reused.status, 422) << target;
        EXPECT_EQ(bodyOf(reused)["error"],
                  "that Idempotency-Key came before with another request: send a new key");
    }
    EXPECT_EQ(till.entries(), entries);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/pay", "{}", "pay").status, 200);
    const WebAnswer closed = till.ask("POST", "/api/day/close", "{}", "close");
    ASSERT_EQ(closed.status, 200);
    EXPECT_EQ(bodyOf(closed)["report"][1], "Today's total revenue is  10 $");
    EXPECT_EQ(till.ask("POST", "/api/day/close", "{}", "close").body, closed.body);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/days")).size(), 2U) << "day 1 closed, day 2 open";
    EXPECT_EQ(till.ask("POST", "/api/day/close", "{}", "again").status, 200)
        << "an empty day closes and leaves no trace";
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/days")).size(), 2U);
}

class WebApiOnFile : public TempFolder {};

// A restart keeps a device signed in, from a hash of its token in the
// journal; its use is written at most every 10 minutes; removing the member
// of staff, or the session's end, ends it for good.
TEST_F(WebApiOnFile, SessionsOutliveARestartUntilTheirStaffMemberIsRemoved) {
    const std::string path = file("journal.db");
    std::string cookie;
    Moment now = 1796720400;
    const auto restarted = [&](const std::function<void(WebTill&)>& work) {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        WebTill till(journal);
        till.now = now;
        till.cookie = cookie;
        work(till);
        till.service.settle();
        now = till.now;
        cookie = till.cookie;
    };
    restarted([](WebTill& till) { ASSERT_EQ(till.signIn("2468").status, 204); });
    const auto used = [&] {
        SqliteJournal journal(path, SqliteJournal::Access::reading);
        const std::vector<Journal::Session> kept = journal.sessions();
        EXPECT_EQ(kept.size(), 1U);
        EXPECT_EQ(kept.front().tokenHash.find(cookie.substr(cookie.find('=') + 1)),
                  std::string::npos)
            << "the token itself is kept nowhere";
        return kept.empty() ? Moment{0} : kept.front().used;
    };
    const Moment opened = used();
    restarted([](WebTill& till) {
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 200) << "still signed in";
        till.now += Moment{9} * 60;
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 200);
    });
    EXPECT_EQ(used(), opened) << "a use within 10 minutes of the last written is not written";
    restarted([](WebTill& till) {
        till.now += Moment{2} * 60;
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 200);
    });
    EXPECT_EQ(used(), opened + Moment{11} * 60);
    {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        ASSERT_TRUE(journal.removeStaff("Ana"));
    }
    restarted([](WebTill& till) {
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 401) << "Ana was removed";
        ASSERT_EQ(till.signIn("2468").status, 204) << "Ana, added again, signs in again";
        till.now += Sessions::absoluteEnd;
    });
    restarted([](WebTill& till) {
        EXPECT_EQ(till.ask("GET", "/api/menu").status, 401) << "24 hours after it opened";
    });
    SqliteJournal journal(path, SqliteJournal::Access::reading);
    EXPECT_TRUE(journal.sessions().empty()) << "an ended session leaves the journal";
}

TEST_F(WebApiOnFile, ARepeatedKeyGetsTheFirstAnswerAndChangesNothingEvenAfterARestart) {
    const std::string path = file("journal.db");
    std::string first;
    {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        WebTill till(journal);
        ASSERT_EQ(till.signIn("2468").status, 204);
        const WebAnswer added =
            till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "key-1");
        ASSERT_EQ(added.status, 200);
        first = added.body;
        const std::size_t entries = till.entries();
        const WebAnswer again =
            till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "key-1");
        EXPECT_EQ(again.body, first);
        EXPECT_EQ(till.entries(), entries);
        EXPECT_EQ(bodyOf(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})",
                                  "key-2"))["total_cents"],
                  2000);
        till.service.leaveOpen();
    }
    SqliteJournal journal(path, SqliteJournal::Access::till);
    EXPECT_EQ(journal.keptAnswer("key-1")->answer, first) << "kept with the change it answered";
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "key-1").body,
              first);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/orders"))["orders"][0]["total_cents"], 2000);
    // Kept answers go two days after their day closes.
    ASSERT_EQ(till.ask("POST", "/api/orders/5/pay", "{}", "pay-1").status, 200);
    for (const char* close : {"close-1", "close-2", "close-3"}) {
        ASSERT_EQ(till.ask("POST", "/api/orders/6/items", R"({"kind":"drink","item":1})",
                           std::string(close) + "-add")
                      .status,
                  200);
        ASSERT_EQ(till.ask("POST", "/api/orders/6/pay", "{}", std::string(close) + "-pay").status,
                  200);
        ASSERT_EQ(till.ask("POST", "/api/day/close", "{}", close).status, 200);
        const bool dayOneKept = std::string(close) != "close-3";
        EXPECT_EQ(journal.keptAnswer("key-1").has_value(), dayOneKept) << close;
        EXPECT_TRUE(journal.keptAnswer(close).has_value()) << close;
    }
    EXPECT_TRUE(journal.keptAnswer("close-2").has_value());
}

}  // namespace
