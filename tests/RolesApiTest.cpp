// Who may do what at the web till: a waiter asks a manager's PIN on the
// device for a void, a close and a discount above a tenth of the order; the
// kitchen's staff only mark tickets. Each refusal changes nothing, and the
// journal records who approved. Then the money's own endpoints: the drawer,
// a bill in equal parts, a payment in parts with a tip, and a total the
// waiter never saw.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

#include "journal/MemoryJournal.h"
#include "tests/WebTill.h"
#include "web/PinHash.h"

namespace {

using nlohmann::json;

// Ana manages; Bo waits tables; Kit cooks.
MemoryJournal& staffed(MemoryJournal& journal) {
    journal.putStaff({"Bo", PinHash::of("1357", true), "waiter"});
    journal.putStaff({"Kit", PinHash::of("9753", true), "kitchen"});
    return journal;
}

std::string approvedBy(const std::string& name, const std::string& pin, json body) {
    body["approval"] = {{"staff", name}, {"pin", pin}};
    return body.dump();
}

TEST(Roles, AWaiterNeedsAManagersPinForAVoidACloseAndALargeDiscount) {
    MemoryJournal journal;
    WebTill till(staffed(journal));
    ASSERT_EQ(till.signIn("1357", "Bo").status, 204);
    ASSERT_EQ(till.ask("POST", "/api/orders/5/items", R"({"kind":"dish","item":2})").status, 200);
    const std::size_t before = till.entries();

    // 20.00 of fish: 2.00 is a waiter's to give, 2.01 is not.
    const json large = {{"amount_cents", 201}, {"reason", "late"}};
    const WebAnswer alone = till.ask("POST", "/api/orders/5/discount", large.dump());
    EXPECT_EQ(alone.status, 403);
    EXPECT_EQ(bodyOf(alone)["error"], "a discount needs a manager's approval");
    EXPECT_EQ(till.ask("POST", "/api/orders/5/discount", approvedBy("Bo", "1357", large)).status,
              403)
        << "a waiter approves nothing";
    EXPECT_EQ(till.ask("POST", "/api/orders/5/discount", approvedBy("Ana", "0000", large)).status,
              403)
        << "a wrong PIN";
    EXPECT_EQ(till.entries(), before);
    const WebAnswer approved =
        till.ask("POST", "/api/orders/5/discount", approvedBy("Ana", "2468", large));
    ASSERT_EQ(approved.status, 200) << approved.body;
    EXPECT_EQ(journal.currentDay().entries.back().approver, "Ana");
    EXPECT_EQ(journal.currentDay().entries.back().staff, "Bo");

    const WebAnswer paid =
        till.ask("POST", "/api/orders/5/pay",
                 R"({"method":"card","tip_cents":150,"expected_total_cents":1799})");
    ASSERT_EQ(paid.status, 200) << paid.body;
    EXPECT_EQ(bodyOf(paid)["receipt"]["discount_cents"], 201);
    EXPECT_EQ(bodyOf(paid)["receipt"]["tip_cents"], 150);
    const std::string sale = bodyOf(paid)["receipt"]["sale_id"];
    const json reason = {{"reason", "wrong table"}};
    const std::size_t paidFor = till.entries();
    EXPECT_EQ(till.ask("POST", "/api/sales/" + sale + "/void", reason.dump()).status, 403);
    EXPECT_EQ(
        till.ask("POST", "/api/sales/" + sale + "/void", approvedBy("Ana", "1111", reason)).status,
        403);
    EXPECT_EQ(till.ask("POST", "/api/day/close").status, 403);
    EXPECT_EQ(till.ask("POST", "/api/day/close", approvedBy("Bo", "1357", json::object())).status,
              403);
    EXPECT_EQ(till.entries(), paidFor) << "no refusal wrote anything";
    EXPECT_EQ(
        till.ask("POST", "/api/sales/" + sale + "/void", approvedBy("Ana", "2468", reason)).status,
        200);
    EXPECT_EQ(journal.currentDay().entries.back().approver, "Ana");

    ASSERT_EQ(till.signIn("9753", "Kit").status, 204);
    const WebAnswer cook = till.ask("POST", "/api/orders/6/items", R"({"kind":"dish","item":1})");
    EXPECT_EQ(cook.status, 403);
    EXPECT_EQ(bodyOf(cook)["error"],
              "the kitchen's staff may only mark tickets ready and dishes sold out");
    const WebAnswer outOfFish = till.ask("POST", "/api/menu/dish/2/sold-out");
    ASSERT_EQ(outOfFish.status, 200) << outOfFish.body;
    EXPECT_EQ(bodyOf(outOfFish), json::parse(R"({"kind":"dish","name":"Fish","sold_out":true})"));
    EXPECT_EQ(journal.currentDay().entries.back().staff, "Kit");
}

TEST(Roles, TheDrawerEqualPartsAndAPaymentInPartsAddUpInTheSummary) {
    MemoryJournal journal;
    WebTill till(journal);
    ASSERT_EQ(till.signIn("2468").status, 204);
    EXPECT_EQ(till.ask("POST", "/api/drawer/open", R"({"amount_cents":10000})").status, 200);
    EXPECT_EQ(till.ask("POST", "/api/drawer/out", R"({"amount_cents":500})").status, 400)
        << "cash out needs a reason";
    ASSERT_EQ(
        till.ask("POST", "/api/orders/7/items", R"({"kind":"drink","item":2,"count":5})").status,
        200);
    // Five juices, 20.00, in three parts: 6.67, 6.67, 6.66.
    const WebAnswer split = till.ask("POST", "/api/orders/7/split-evenly", R"({"parts":3})");
    ASSERT_EQ(split.status, 200) << split.body;
    EXPECT_EQ(bodyOf(split)["shares_cents"], json::parse("[667, 667, 666]"));
    const WebAnswer stale =
        till.ask("POST", "/api/orders/7/pay", R"({"method":"cash","expected_total_cents":2000})");
    EXPECT_EQ(stale.status, 409) << "the first part is 6.67, not the whole bill";
    EXPECT_EQ(till.ask("POST", "/api/orders/7/pay", R"({"method":"cash"})").status, 200);
    EXPECT_EQ(till.ask("POST", "/api/orders/7/pay",
                       R"({"payments":[{"method":"cash","amount_cents":300},{"method":"card"}]})")
                  .status,
              200);
    const WebAnswer last = till.ask("POST", "/api/orders/7/pay", R"({"method":"card"})");
    ASSERT_EQ(last.status, 200);
    EXPECT_EQ(bodyOf(last)["receipt"]["part"], json::parse(R"({"part":3,"of":3})"));
    EXPECT_EQ(till.ask("POST", "/api/drawer/count", R"({"amount_cents":19000})").status, 200);

    const json summary = bodyOf(till.ask("GET", "/api/days/1/summary"));
    EXPECT_EQ(summary["revenue_cents"], 2000);
    // 100.00 of float, 6.67 and 3.00 in cash.
    EXPECT_EQ(summary["cash_expected_cents"], 10967);
    EXPECT_EQ(summary["cash_counted_cents"], 19000);
    EXPECT_EQ(summary["customers"], 3);
}

}  // namespace
