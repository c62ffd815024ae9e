// The web till under load, on loopback: 32 devices hold event streams while
// 16 of them send commands, first for a while, then through 20 SIGKILLs of
// the server, each followed by a restart. Every command answered 200 must be
// in the journal, its answer kept with it byte for byte, and the file sound.
// And a till out of descriptors serves again once they are free.
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <vector>

#include "journal/SqliteJournal.h"
#include "tests/ChildProcess.h"
#include "tests/LoopbackHttp.h"
#include "tests/TempFolder.h"

namespace {

using boost::asio::ip::tcp;
using std::chrono::milliseconds;

using Answer = LoopbackAnswer;

// A POST under a key.
Answer send(unsigned short port, const std::string& target, const std::string& body,
            const std::string& key) {
    return askLoopback(port, "POST", target, body, key);
}

// A web till run as its own program, on a port chosen once.
class ServedTill {
public:
    // With `descriptors`, the till may open no more than that many files.
    ServedTill(const std::string& journal, unsigned short port, int descriptors = 0)
        : till(
              withLimit(descriptors, {RESTAURANT_PATH, "serve", "--listen",
                                      "127.0.0.1:" + std::to_string(port), "--journal", journal})) {
        std::string line;
        if (till.readLine(line, milliseconds(20000)) &&
            line.find("http://127.0.0.1:") != std::string::npos) {
            const std::size_t at = line.find("127.0.0.1:") + 10;
            port_ =
                static_cast<unsigned short>(std::stoi(line.substr(at, line.find('/', at) - at)));
        }
    }
    unsigned short port() const { return port_; }
    void kill() { till.kill(); }

private:
    static std::vector<std::string> withLimit(int descriptors, std::vector<std::string> command) {
        if (descriptors > 0) {
            command.insert(command.begin(),
                           {"/bin/sh", "-c",
                            "ulimit -n " + std::to_string(descriptors) + " && exec \"$0\" \"$@\""});
        }
        return command;
    }

    ChildProcess till;
    unsigned short port_ = 0;
};

// Devices that send random commands, each under a key of its own, and note
// every answer 200 with its key.
class Devices {
public:
    void run(unsigned short port, int senders, std::chrono::steady_clock::time_point until) {
        std::vector<std::thread> threads;
        threads.reserve(static_cast<std::size_t>(senders));
        for (int sender = 0; sender < senders; ++sender) {
            threads.emplace_back([=] { sendUntil(port, sender, until); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }

    std::map<std::string, std::string> acknowledged;
    std::atomic<int> unanswered{0};
    std::atomic<int> sent{0};

private:
    void sendUntil(unsigned short port, int sender, std::chrono::steady_clock::time_point until) {
        std::mt19937 random(static_cast<unsigned>(sender * 7919 + counter++));
        const std::string table = "/api/orders/t" + std::to_string(sender % 8);
        while (std::chrono::steady_clock::now() < until) {
            const std::string key = "k" + std::to_string(counter++);
            const bool pays = random() % 4 == 0;
            const Answer answer =
                pays ? send(port, table + "/pay", R"({"method":"card"})", key)
                     : send(port, table + "/items",
                            R"({"kind":"dish","item":)" + std::to_string(random() % 4 + 1) + "}",
                            key);
            ++sent;
            if (answer.status == 200) {
                std::lock_guard<std::mutex> lock(mutex);
                acknowledged[key] = answer.body;
            } else if (answer.status == 0 && std::chrono::steady_clock::now() < until) {
                ++unanswered;
            }
        }
    }

    std::atomic<int> counter{1};
    std::mutex mutex;
};

std::vector<std::unique_ptr<tcp::iostream>> openStreams(unsigned short port, int count) {
    std::vector<std::unique_ptr<tcp::iostream>> streams;
    for (int device = 0; device < count; ++device) {
        streams.push_back(std::make_unique<tcp::iostream>("127.0.0.1", std::to_string(port)));
        streams.back()->expires_after(std::chrono::seconds(30));
        *streams.back() << "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" << std::flush;
    }
    return streams;
}

std::string integrityOf(const std::string& path) {
    sqlite3* database = nullptr;
    sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, "PRAGMA integrity_check", -1, &statement, nullptr);
    std::string result = sqlite3_step(statement) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                             : "no answer";
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return result;
}

// Every answer 200 is kept with its change; the day's records match their
// hashes; the file is sound.
void expectEverythingKept(const std::string& path, const Devices& devices) {
    EXPECT_EQ(integrityOf(path), "ok");
    SqliteJournal journal(path, SqliteJournal::Access::reading);
    EXPECT_NO_THROW(journal.verify([](std::int32_t, std::int64_t) {}));
    std::size_t missing = 0;
    for (const auto& [key, body] : devices.acknowledged) {
        const std::optional<Journal::KeptAnswer> kept = journal.keptAnswer(key);
        missing += kept && kept->answer == body ? 0U : 1U;
    }
    EXPECT_EQ(missing, 0U) << "of " << devices.acknowledged.size() << " acknowledged commands";
}

class WebLoad : public TempFolder {};

TEST_F(WebLoad, ThirtyTwoDevicesAndTwentyKillsLoseNoAcknowledgedCommand) {
    const std::string journal = file("journal.db");
    Devices devices;
    unsigned short port = 0;
    {
        ServedTill till(journal, 0);
        port = till.port();
        ASSERT_NE(port, 0);
        auto streams = openStreams(port, 32);
        devices.run(port, 16, std::chrono::steady_clock::now() + std::chrono::seconds(10));
        std::string line;
        for (auto& stream : streams) {
            while (std::getline(*stream, line) && line.rfind("data: ", 0) != 0) {
            }
            EXPECT_EQ(line.rfind("data: {\"change\": ", 0), 0U) << "every stream heard a change";
        }
        till.kill();
    }
    const int unanswered = devices.unanswered;
    EXPECT_EQ(unanswered, 0) << "of " << devices.sent << " requests";
    expectEverythingKept(journal, devices);
    const std::size_t underLoad = devices.acknowledged.size();

    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 20; ++kill) {
        ServedTill till(journal, port);
        ASSERT_EQ(till.port(), port) << "restart " << kill;
        auto streams = openStreams(port, 32);
        const auto until = std::chrono::steady_clock::now() + milliseconds(300 + random() % 400);
        std::thread killer([&] {
            std::this_thread::sleep_until(until - milliseconds(random() % 200));
            till.kill();
        });
        devices.run(port, 16, until);
        killer.join();
    }
    expectEverythingKept(journal, devices);
    std::cout << "Web load: " << underLoad << " commands acknowledged in 10 s by 16 of 32 devices; "
              << devices.acknowledged.size() - underLoad << " more through 20 kills; " << unanswered
              << " of the first unanswered" << std::endl;
}

// A stranger who opens connections until the till runs out of descriptors
// holds it only while they stay open: the till then accepts again.
TEST_F(WebLoad, ATillOutOfDescriptorsServesAgainOnceTheyAreFree) {
    ServedTill till(file("journal.db"), 0, 40);
    ASSERT_NE(till.port(), 0);
    std::vector<std::unique_ptr<tcp::iostream>> held;
    held.reserve(60);
    for (int connection = 0; connection < 60; ++connection) {
        held.push_back(std::make_unique<tcp::iostream>("127.0.0.1", std::to_string(till.port())));
    }
    std::this_thread::sleep_for(milliseconds(300));
    held.clear();
    tcp::iostream stream("127.0.0.1", std::to_string(till.port()));
    stream.expires_after(std::chrono::seconds(3));
    stream << "GET /api/menu HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"
           << std::flush;
    std::string status;
    std::getline(stream, status);
    EXPECT_EQ(status, "HTTP/1.1 200 OK\r");
}

}  // namespace
