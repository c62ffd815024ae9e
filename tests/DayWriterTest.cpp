// Many devices, one writer: changes that arrive while a batch is being
// synced share the next transaction and are answered once it is on disk; a
// change that fails inside a batch fails alone; a batch that cannot be
// synced refuses every change in it; reads never wait for a sync; and a pay
// that races the close of the day is in the close's report, or refused.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "testing/CoutRedirect.h"
#include "testing/FaultyVfs.h"

#include "journal/SqliteJournal.h"
#include "reports/ReadCommands.h"
#include "reports/Summary.h"
#include "service/DayFigures.h"
#include "service/DayService.h"
#include "service/RequestKey.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "web/EventHub.h"
#include "web/Sessions.h"
#include "web/WebApi.h"

namespace {

using nlohmann::json;

// Each test's journals in a folder of their own, the disk let go after.
class Writer : public TempFolder {
protected:
    void TearDown() override {
        FaultyVfs::holdSyncs(false);
        FaultyVfs::disarm();
        TempFolder::TearDown();
    }
};

// A day on a journal file through the faulty VFS, its commits counted, with
// the web till on it.
struct DayOnFile {
    explicit DayOnFile(const std::string& path)
        : journal(path, SqliteJournal::Access::till, FaultyVfs::name()),
          service(SmallRestaurant::menu(), journal),
          history(path, SqliteJournal::Access::reading) {
        service.start();
        sqlite3_commit_hook(
            journal.handle(),
            [](void* counted) {
                ++*static_cast<std::atomic<int>*>(counted);
                return 0;
            },
            &commits);
    }

    SqliteJournal journal;
    DayService service;
    std::atomic<int> commits{0};
    // Past days are read beside the writer, as the web till reads them.
    SqliteJournal history;
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api{service, history, sessions, events};
};

void waitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(condition());
}

// What the till shows of its day: the summary and the open orders.
std::string seen(DayService& service) {
    service.settle();
    std::ostringstream shown;
    Summary(DayFigures::of(service.record())).print(shown);
    for (const OrderView& order : service.orders()) {
        shown << order.label << ": " << order.count << " items, " << order.total.cents() << "\n";
    }
    return shown.str();
}

// The same, as a till resuming the journal would find it.
std::string resumedFrom(const std::string& path) {
    SqliteJournal reread(path, SqliteJournal::Access::reading);
    DayService resumed(SmallRestaurant::menu(), reread);
    resumed.start();
    return seen(resumed);
}

const ItemChoice tea{1, ""};

WebRequest request(const std::string& method, const std::string& target,
                   const std::string& body = "{}") {
    WebRequest made;
    made.method = method;
    made.target = target;
    made.host = "127.0.0.1";
    made.contentType = method == "GET" ? "" : "application/json";
    made.body = method == "GET" ? "" : body;
    return made;
}

WebRequest addTea(const std::string& table) {
    return request("POST", "/api/orders/" + table + "/items", R"({"kind":"drink","item":"Tea"})");
}

TEST_F(Writer, SixteenChangesArrivingDuringOneSyncShareAtMostTwoTransactions) {
    const std::string path = file("batch.db");
    DayOnFile day(path);
    const int before = day.commits;
    std::atomic<int> answered{0};
    FaultyVfs::holdSyncs(true);
    std::vector<std::thread> tills;
    // The first change is written alone; the rest arrive while its sync is
    // held, half from tills, half from devices over the web till.
    tills.emplace_back([&] { answered += day.service.add("t0", ItemKind::drink, tea, 1).done(); });
    waitFor([] { return FaultyVfs::heldSyncs() == 1; });
    for (int till = 1; till < 8; ++till) {
        tills.emplace_back([&, till] {
            answered += day.service.add("t" + std::to_string(till), ItemKind::drink, tea, 1).done();
        });
    }
    for (int device = 8; device < 16; ++device) {
        day.api.handle(addTea("t" + std::to_string(device)),
                       [&](const WebAnswer& answer) { answered += answer.status == 200; });
    }
    // A change refused for bad input joins no batch: it is answered while
    // the sync of the batch it came with is still held.
    std::atomic<bool> refused{false};
    tills.emplace_back([&] {
        refused = !day.service.add("t16", ItemKind::drink, {{}, "pizza"}, 1).done();
    });
    waitFor([&] { return day.service.waiting() == 16; });
    EXPECT_EQ(answered, 0) << "answered before the sync";
    FaultyVfs::letOneSyncGo();
    waitFor([&] { return answered == 1 && refused && FaultyVfs::heldSyncs() == 1; });
    EXPECT_EQ(answered, 1) << "answered before the second sync";
    // A read waits for no sync: it sees the day the last commit left.
    EXPECT_EQ(json::parse(day.api.handle(request("GET", "/api/orders")).body)["orders"].size(), 1U);
    EXPECT_EQ(day.service.orders().size(), 1U);
    FaultyVfs::holdSyncs(false);
    for (std::thread& till : tills) {
        till.join();
    }
    day.api.settle();
    EXPECT_EQ(answered, 16);
    EXPECT_LE(day.commits - before, 2);
    EXPECT_EQ(day.service.orders().size(), 16U);
    EXPECT_EQ(seen(day.service), resumedFrom(path));
}

// The outcome of a change carried out on a thread of its own.
template <typename Result>
struct Pending {
    std::optional<Outcome<Result>> outcome;
    std::thread thread;

    explicit Pending(std::function<Outcome<Result>()> change)
        : thread([this, change = std::move(change)] { outcome.emplace(change()); }) {}
    const Outcome<Result>& get() {
        if (thread.joinable()) {
            thread.join();
        }
        return *outcome;
    }
};

// Hands the writer a change whose answer cannot be made: its change is
// taken back, and it is refused with the reason.
void addUnanswerable(DayService& service, std::optional<Told>& told) {
    service.submit({AddItems{"3", ItemKind::drink, tea, 1, "", std::nullopt}, "",
                    RequestKey::of("k3", "", "", "", ""),
                    [](const Result&, const DayReplay&) -> std::string {
                        throw std::runtime_error("no answer");
                    },
                    [&told](Told given) { told = std::move(given); }, StaffRole::manager, ""});
}

std::vector<std::string> openOrders(DayService& service) {
    std::vector<std::string> open;
    for (const OrderView& order : service.orders()) {
        open.push_back(order.label);
    }
    std::sort(open.begin(), open.end());
    return open;
}

TEST_F(Writer, AFailingChangeFailsAloneAndAFailingSyncRefusesTheWholeBatch) {
    for (const bool syncFails : {false, true}) {
        SCOPED_TRACE(syncFails ? "the batch's sync fails" : "the batch's sync succeeds");
        const std::string path = file(syncFails ? "failing.db" : "sound.db");
        DayOnFile day(path);
        DayService& service = day.service;
        ASSERT_TRUE(service.add("5", ItemKind::dish, ItemChoice{2, ""}, 1).done());
        FaultyVfs::holdSyncs(true);
        Pending<Added> first([&] { return service.add("1", ItemKind::snack, {1, ""}, 1); });
        waitFor([] { return FaultyVfs::heldSyncs() == 1; });
        Pending<Added> teas([&] { return service.add("2", ItemKind::drink, tea, 2); });
        Pending<Added> pizza([&] { return service.add("2", ItemKind::drink, {{}, "pizza"}, 1); });
        Pending<Paid> card([&] {
            return service.pay("5", {}, Payment{"card", std::nullopt, std::nullopt});
        });
        std::optional<Told> unanswerable;
        addUnanswerable(service, unanswerable);
        // The same request twice, by its key: the second gets the first's answer.
        std::vector<int> repeated;
        WebRequest keyed = addTea("8");
        keyed.idempotencyKey = "same";
        for (int time = 0; time < 2; ++time) {
            day.api.handle(keyed,
                           [&](const WebAnswer& answer) { repeated.push_back(answer.status); });
        }
        waitFor([&] { return service.waiting() == 6; });
        if (syncFails) {
            // The held sync is the first's; the next is the batch's.
            FaultyVfs::arm(FaultyVfs::Operation::sync, 2, SQLITE_IOERR_FSYNC);
        }
        FaultyVfs::holdSyncs(false);
        EXPECT_TRUE(first.get().done());
        day.api.settle();
        for (const Refusal* refused : {teas.get().done() ? nullptr : &teas.get().refusal(),
                                       card.get().done() ? nullptr : &card.get().refusal()}) {
            EXPECT_EQ(refused != nullptr, syncFails);
            if (refused != nullptr) {
                EXPECT_EQ(refused->reason, Refusal::Reason::journalRefused);
                EXPECT_EQ(refused->text, "disk I/O error");
            }
        }
        ASSERT_FALSE(pizza.get().done());
        EXPECT_EQ(pizza.get().refusal().reason, Refusal::Reason::noSuchMenuName);
        ASSERT_TRUE(unanswerable && unanswerable->refusal);
        EXPECT_EQ(unanswerable->refusal->text, "no answer");
        EXPECT_EQ(repeated, std::vector<int>(2, syncFails ? 503 : 200));
        const std::vector<std::string> open = syncFails ? std::vector<std::string>{"1", "5"}
                                                        : std::vector<std::string>{"1", "2", "8"};
        EXPECT_EQ(openOrders(service), open);
        EXPECT_FALSE(day.journal.keptAnswer("k3")) << "its change taken back, answer and all";
        EXPECT_EQ(seen(service), resumedFrom(path));
        EXPECT_TRUE(service.add("7", ItemKind::drink, tea, 1).done()) << "the day goes on";
        EXPECT_EQ(seen(service), resumedFrom(path));
    }
}

// Each time, a pay and a close of the day are sent at once. Whichever comes
// first, a pay answered as done is in the report of the day that holds it:
// the close's own, the report read back, and the summary.
TEST_F(Writer, APayRacingTheCloseIsInTheClosesReportOrTheCloseIsRefused) {
    const std::string path = file("race.db");
    DayOnFile day(path);
    int both = 0;
    for (int round = 0; round < 200; ++round) {
        ASSERT_EQ(
            day.api.handle(request("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})"))
                .status,
            200);
        const std::int32_t number = day.service.day();
        WebAnswer paid;
        WebAnswer closed;
        std::thread paying([&] { paid = day.api.handle(request("POST", "/api/orders/5/pay")); });
        std::thread closing([&] { closed = day.api.handle(request("POST", "/api/day/close")); });
        paying.join();
        closing.join();
        ASSERT_EQ(paid.status, 200) << paid.body;
        if (closed.status != 200) {
            ASSERT_EQ(closed.status, 409) << "orders were open: " << closed.body;
            ASSERT_EQ(day.api.handle(request("POST", "/api/day/close")).status, 200);
        } else {
            ++both;
        }
        const std::string revenue = "Today's total revenue is  10 $";
        if (closed.status == 200) {
            EXPECT_EQ(json::parse(closed.body)["report"][1], revenue) << "round " << round;
        }
        std::ostringstream report;
        {
            CoutRedirect redirect(report.rdbuf());
            ASSERT_EQ(reportDay(day.history, number), 0);
        }
        EXPECT_NE(report.str().find(revenue), std::string::npos) << report.str();
        EXPECT_EQ(
            json::parse(
                day.api.handle(request("GET", "/api/days/" + std::to_string(number) + "/summary"))
                    .body)["customers"],
            1);
    }
    std::cout << "Pays and closes raced: " << 200 - both << " closes came first, " << both
              << " closes followed the pay" << std::endl;
}

}  // namespace
