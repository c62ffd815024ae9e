// The web till's API, request by request: sign-in and its lockout, the rules
// that keep requests safe, every endpoint, and retries under a key. Every
// refusal is checked to change nothing in the journal.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "journal/MemoryJournal.h"
#include "journal/SqliteJournal.h"
#include "service/DayService.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "web/PinHash.h"
#include "web/WebApi.h"

namespace {

using nlohmann::json;

// A web till on a journal with one member of staff, Ana, PIN 2468.
class WebTill {
public:
    explicit WebTill(Journal& given) : journal(withAna(given)) { service.start(); }

    static Journal& withAna(Journal& journal) {
        journal.putStaff({"Ana", PinHash::of("2468", true)});
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

    WebAnswer signIn(const std::string& pin) {
        WebAnswer answer = ask("POST", "/api/session", json{{"staff", "Ana"}, {"pin", pin}}.dump());
        for (const auto& [name, value] : answer.headers) {
            if (name == "Set-Cookie") {
                cookie = value.substr(0, value.find(';'));
            }
        }
        return answer;
    }

    std::size_t entries() { return journal.openDayEntries().size(); }

    Moment now = 1796720400;
    Journal& journal;
    DayService service{SmallRestaurant::menu(), journal, [this] { return now; }};
    Sessions sessions{[this] { return now; }};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    std::string cookie;
};

json bodyOf(const WebAnswer& answer) { return json::parse(answer.body); }

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
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/menu"))["dish"][1],
              (json{{"number", 2}, {"name", "Fish"}, {"price_cents", 2000}}));
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

TEST(WebApi, RefusesEveryBadRequestWithOneLineAndChangesNothing) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})").status, 200);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"drink","item":"tea"})").status,
              200);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/pay", R"({"method":"card"})").status, 200);
    ASSERT_EQ(till.ask("POST", "/api/orders/6/items", R"({"kind":"snack","item":1})").status, 200);
    ASSERT_EQ(till.ask("POST", "/api/customers/1/void", R"({"reason":"rang up twice"})").status,
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
    foreign.contentType = "text/plain";
    EXPECT_EQ(till.api.handle(foreign).status, 415);
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
        {"POST", "/api/orders/no%20such/items", R"({"kind":"dish","item":1})", 400},
        {"DELETE", "/api/orders/6/items/snack/2", "", 404},
        {"DELETE", "/api/orders/6/items/pizza/1", "", 400},
        {"POST", "/api/orders/6/move", R"({"kind":"snack","position":3,"to":"7"})", 404},
        {"POST", "/api/orders/6/move", R"({"kind":"snack","position":1,"to":"a b"})", 400},
        {"POST", "/api/orders/8/pay", "{}", 409},
        {"POST", "/api/orders/6/pay", R"({"method":"cash","given_cents":100})", 400},
        {"POST", "/api/orders/6/pay", R"({"method":"cheque"})", 400},
        {"POST", "/api/customers/9/void", R"({"reason":"x"})", 404},
        {"POST", "/api/customers/1/void", R"({"reason":"again"})", 409},
        {"POST", "/api/day/close", "{}", 409},
        {"GET", "/api/days/9/summary", "", 404},
        {"GET", "/api/days/1/receipts/7", "", 404},
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
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(bodyOf(till.ask("POST", "/api/orders/5/items",
                              R"({"kind":"dish","item":"fish","count":2})"))["total_cents"],
              4000);
    EXPECT_EQ(bodyOf(till.ask("POST", "/api/orders/5/items",
                              R"({"kind":"drink","item":2})"))["total_cents"],
              4400);
    const json moved =
        bodyOf(till.ask("POST", "/api/orders/5/move", R"({"kind":"dish","position":2,"to":"7"})"));
    EXPECT_EQ(moved["orders"][0]["total_cents"], 2400);
    EXPECT_EQ(moved["orders"][1]["order"], "7");
    EXPECT_EQ(bodyOf(till.ask("DELETE", "/api/orders/7/items/dish/1"))["items"].size(), 0U);
    const json orders = bodyOf(till.ask("GET", "/api/orders"));
    ASSERT_EQ(orders["orders"].size(), 1U);
    EXPECT_EQ(orders["orders"][0]["order"], "5");
    EXPECT_EQ(orders["change"], till.events.change());

    const json split =
        bodyOf(till.ask("POST", "/api/orders/5/pay",
                        R"({"method":"card","items":[{"kind":"drink","position":1}]})"));
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
    ASSERT_EQ(till.ask("POST", "/api/customers/1/void", R"({"reason":"wrong card"})").status, 200);

    const json summary = bodyOf(till.ask("GET", "/api/days/1/summary"));
    EXPECT_EQ(summary["customers"], 1);
    EXPECT_EQ(summary["revenue_cents"], 2000);
    EXPECT_EQ(summary["cash_expected_cents"], 2000);
    EXPECT_EQ(summary["voids"][0]["reason"], "wrong card");
    EXPECT_EQ(summary["staff"], json::parse(R"([{"staff":"Ana","revenue_cents":2000}])"));
    EXPECT_EQ(summary["vat"], json::parse(R"([{"rate":0,"gross_cents":2000,"vat_cents":0}])"));
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/days/1/receipts/2"))["given_cents"], 5000);
    const json closed = bodyOf(till.ask("POST", "/api/day/close", "{}"));
    EXPECT_EQ(closed["report"][1], "Today's total revenue is  20 $");
    const json days = bodyOf(till.ask("GET", "/api/days"));
    ASSERT_EQ(days.size(), 2U) << "the next day opens at once";
    EXPECT_EQ(days[0]["revenue_cents"], 2000);
    EXPECT_FALSE(days[0]["closed_at"].is_null());
    EXPECT_TRUE(days[1]["closed_at"].is_null());
}

class WebApiOnFile : public TempFolder {};

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
    EXPECT_EQ(journal.keptAnswer("key-1"), first) << "kept with the change it answered";
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})", "key-1").body,
              first);
    EXPECT_EQ(bodyOf(till.ask("GET", "/api/orders"))["orders"][0]["total_cents"], 2000);
}

}  // namespace
