// Changes while the web till serves, made from the command line through the
// till's control socket: a dish sold out is refused on a device within a
// second and sold again once available; a menu imported shows at once, the
// items ordered before keeping their prices, and a number chosen from the
// old menu is refused; a member of staff added makes the till ask for
// sign-in. The socket is the owner's alone, and goes with the till.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "control/ControlPath.h"

#include "tests/ChildProcess.h"
#include "tests/LoopbackHttp.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"

namespace {

using nlohmann::json;
using std::chrono::milliseconds;

struct Answer {
    int status = 0;
    json body;
};

Answer ask(unsigned short port, const std::string& method, const std::string& target,
           const std::string& body = "") {
    const LoopbackAnswer answer = askLoopback(port, method, target, body);
    return {answer.status, json::parse(answer.body, nullptr, false)};
}

class LiveChanges : public TempFolder {
protected:
    std::string restaurant(const std::string& words, int& status) {
        const ProgramRun run = runProgram(std::string(RESTAURANT_PATH) + " " + words +
                                          " --journal " + file("journal.db") + " 2>&1");
        status = run.status;
        return run.output;
    }
};

TEST_F(LiveChanges, SoldOutMenuAndStaffReachEveryDeviceWithinASecond) {
    ChildProcess till(
        {RESTAURANT_PATH, "serve", "--listen", "127.0.0.1:0", "--journal", file("journal.db")});
    std::string line;
    ASSERT_TRUE(till.readLine(line, milliseconds(20000)));
    const std::size_t at = line.find("127.0.0.1:") + 10;
    const auto port = static_cast<unsigned short>(std::stoi(line.substr(at)));
    struct stat socketFile {};
    // Beside the journal, unless that path is too long for a socket.
    const std::string socketPath = ControlPath::of(file("journal.db"));
    ASSERT_EQ(::stat(socketPath.c_str(), &socketFile), 0) << socketPath;
    EXPECT_EQ(socketFile.st_mode & 0777, 0600U);

    const std::string add = R"({"kind":"dish","item":3})";
    ASSERT_EQ(ask(port, "POST", "/api/orders/5/items", add).status, 200);
    int status = 0;
    const auto markedAt = std::chrono::steady_clock::now();
    EXPECT_EQ(restaurant("sold-out dish 3", status),
              "Grilled salmon is sold out until the day closes\n");
    const Answer refused = ask(port, "POST", "/api/orders/5/items", add);
    EXPECT_LT(std::chrono::steady_clock::now() - markedAt, std::chrono::seconds(1));
    EXPECT_EQ(refused.status, 409);
    EXPECT_EQ(refused.body["error"], "Grilled salmon is sold out");
    EXPECT_EQ(ask(port, "GET", "/api/menu").body["dish"][2]["sold_out"], true);
    EXPECT_EQ(restaurant("available dish grilled", status), "Grilled salmon is to be had again\n");
    EXPECT_EQ(ask(port, "POST", "/api/orders/5/items", add).status, 200);

    std::ofstream(file("menu.csv")) << "kind,name,price,cost\ndish,Grilled salmon,19.00,8.00\n"
                                       "drink,Tea,2.50,0.50\n";
    EXPECT_EQ(restaurant("menu import " + file("menu.csv"), status),
              "The till sells from the new menu, version 2, of 2 items: items ordered before "
              "keep their prices\n");
    const json menu = ask(port, "GET", "/api/menu").body;
    EXPECT_EQ(menu["version"], 2);
    EXPECT_EQ(menu["dish"][0]["price_cents"], 1900);
    const Answer stale =
        ask(port, "POST", "/api/orders/5/items", R"({"kind":"dish","item":3,"menu_version":1})");
    EXPECT_EQ(stale.status, 409);
    EXPECT_EQ(stale.body.value("menu", json::object()).value("version", 0), 2) << stale.body;
    ASSERT_EQ(
        ask(port, "POST", "/api/orders/5/items", R"({"kind":"dish","item":1,"menu_version":2})")
            .status,
        200);
    const json orders = ask(port, "GET", "/api/orders").body;
    std::vector<std::int64_t> prices;
    for (const json& item : orders["orders"][0]["items"]) {
        prices.push_back(item["price_cents"]);
    }
    EXPECT_EQ(prices, (std::vector<std::int64_t>{1600, 1600, 1900}))
        << "the salmon ordered before the import keeps its price";

    runProgram("printf '2468\\n2468\\n' | " + std::string(RESTAURANT_PATH) +
               " staff add Ana --role manager --journal " + file("journal.db"));
    EXPECT_EQ(ask(port, "GET", "/api/orders").status, 401) << "the till has staff now";

    till.stop(SIGTERM);
    EXPECT_FALSE(std::filesystem::exists(socketPath));
    EXPECT_EQ(restaurant("sold-out dish 1", status),
              "restaurant: no till serves " + file("journal.db") +
                  ": an item is sold out for the day being served; start the till first\n");
    EXPECT_EQ(status, 1);
}

}  // namespace
