// The web till over a real socket on loopback: the page and its policy, a
// body too large refused unread, and the event stream that tells every
// device of a change while many streams stay open. Every wait is bounded.
#include <algorithm>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <string>
#include <thread>
#include <vector>

#include "journal/MemoryJournal.h"
#include "service/DayService.h"
#include "tests/SmallRestaurant.h"
#include "tests/TempFolder.h"
#include "web/ConnectionLimits.h"
#include "web/PinHash.h"
#include "web/WebApi.h"
#include "web/WebServer.h"

namespace {

using boost::asio::ip::tcp;

// A request on a connection of its own, to the till by the name given.
std::string request(const std::string& host, const std::string& method, const std::string& target,
                    const std::string& body, const std::string& extra = "") {
    return method + " " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nContent-Type: application/json\r\n" + extra +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

int statusOf(const std::string& answer) {
    return answer.size() >= 12 ? std::stoi(answer.substr(9, 3)) : 0;
}

// A till served on loopback, with clocks short enough for a test to wait
// them out.
class Served : public ::testing::Test {
protected:
    void SetUp() override {
        service.start();
        WebServer::Options options{"127.0.0.1", 0, "", "", {"till.example"}};
        options.headerTimeout = std::chrono::milliseconds(300);
        options.heartbeat = std::chrono::milliseconds(200);
        server = std::make_unique<WebServer>(api, events, options);
        serving = std::thread([this] { server->run(); });
    }
    void TearDown() override {
        server->stop();
        serving.join();
    }

    std::string request(const std::string& method, const std::string& target,
                        const std::string& body, const std::string& extra = "") {
        return ::request("127.0.0.1:" + std::to_string(server->port()), method, target, body,
                         extra + cookie);
    }

    std::unique_ptr<tcp::iostream> connect() {
        auto stream = std::make_unique<tcp::iostream>("127.0.0.1", std::to_string(server->port()));
        stream->expires_after(std::chrono::seconds(5));
        return stream;
    }

    // Sends the bytes on a new connection; returns all it reads in 5 s.
    std::string exchange(const std::string& bytes) {
        const std::unique_ptr<tcp::iostream> stream = connect();
        *stream << bytes << std::flush;
        return std::string(std::istreambuf_iterator<char>(*stream), {});
    }

    // Signs in; the requests after carry the session.
    void signIn() {
        const std::string answer =
            exchange(request("POST", "/api/session", R"({"staff":"Ana","pin":"2468"})"));
        const std::size_t at = answer.find("session=");
        ASSERT_NE(at, std::string::npos) << answer;
        cookie = "Cookie: " + answer.substr(at, answer.find(';', at) - at) + "\r\n";
    }

    // Opens an event stream, read up to its first line of data.
    std::unique_ptr<tcp::iostream> openEvents() {
        std::unique_ptr<tcp::iostream> stream = connect();
        *stream << "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                << cookie << "\r\n"
                << std::flush;
        std::string line;
        while (std::getline(*stream, line) && line != "retry: 1000") {
        }
        EXPECT_EQ(line, "retry: 1000");
        return stream;
    }

    MemoryJournal journal;
    // Ana may sign in from the start: she is on the staff before the API reads it.
    bool staffed = (journal.putStaff({"Ana", PinHash::of("2468", true)}), true);
    DayService service{SmallRestaurant::menu(), journal};
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    std::unique_ptr<WebServer> server;
    std::thread serving;
    std::string cookie;
};

TEST_F(Served, ServesThePageWithAPolicyThatLetsInNothingFromElsewhere) {
    const std::string page = exchange(request("GET", "/", ""));
    EXPECT_EQ(page.rfind("HTTP/1.1 200 OK\r\n", 0), 0U) << page.substr(0, 200);
    EXPECT_NE(page.find("Content-Security-Policy: default-src 'self'; script-src 'self';"),
              std::string::npos);
    EXPECT_NE(page.find("<script type=\"module\" src=\"/app.js\"></script>"), std::string::npos);
    EXPECT_EQ(page.find("Strict-Transport-Security"), std::string::npos) << "not over plain HTTP";
    const std::string script = exchange(request("GET", "/app.js", ""));
    EXPECT_NE(script.find("Content-Type: text/javascript"), std::string::npos);
}

// Each case as a stranger sends it; none may change the day.
TEST_F(Served, RefusesWhatAStrangerSendsAndGoesOnServing) {
    signIn();
    const std::string port = std::to_string(server->port());
    const std::string add = R"({"kind":"dish","item":1})";
    const struct {
        std::string what;
        std::string bytes;
        int status;
    } cases[] = {
        {"a body over 64 KiB", request("POST", "/api/orders/5/items", std::string(70000, ' ')),
         413},
        {"headers over 16 KiB",
         request("POST", "/api/orders/5/items", add,
                 "X-Padding: " + std::string(17000, 'a') + "\r\n"),
         431},
        {"a rebinding page's own name",
         ::request("attacker.example:" + port, "POST", "/api/orders/5/items", add,
                   "Origin: http://attacker.example:" + port + "\r\n" + cookie),
         421},
        {"another port", "GET /api/menu HTTP/1.1\r\nHost: 127.0.0.1:1\r\n\r\n", 421},
        {"no Host at all", "GET /api/menu HTTP/1.0\r\n\r\n", 421},
        {"an Origin of another site",
         request("POST", "/api/orders/5/items", add, "Origin: http://attacker.example\r\n"), 403},
        {"an Origin of another scheme",
         request("POST", "/api/orders/5/items", add, "Origin: https://127.0.0.1:" + port + "\r\n"),
         403},
    };
    for (const auto& attack : cases) {
        const std::string answer = exchange(attack.bytes);
        EXPECT_EQ(statusOf(answer), attack.status) << attack.what << "\n" << answer.substr(0, 300);
    }
    EXPECT_EQ(journal.currentDay().entries.size(), 1U);
    for (const std::string& name :
         {"till.example:" + port, "LOCALHOST:" + port, std::string("localhost")}) {
        const std::string answer = exchange("GET /api/menu HTTP/1.1\r\nHost: " + name + "\r\n" +
                                            cookie + "Connection: close\r\n\r\n");
        EXPECT_EQ(statusOf(answer), 200) << name;
    }
    EXPECT_EQ(
        statusOf(exchange(::request("till.example:" + port, "POST", "/api/orders/5/items", add,
                                    "Origin: http://till.example:" + port + "\r\n" + cookie))),
        200);
}

// 64 idle connections from one address are all it may hold; each is closed
// when its headers are late, and the till answers again at once.
TEST_F(Served, AnAddressThatHoldsIdleConnectionsNeitherStarvesTheTillNorKeepsThem) {
    std::vector<std::unique_ptr<tcp::iostream>> idle;
    for (std::size_t held = 0; held < ConnectionLimits::fromOneAddress; ++held) {
        idle.push_back(connect());
        *idle.back() << "GET /api/menu HTTP/1.1\r\n" << std::flush;
    }
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(request("GET", "/api/menu", "")), "") << "one more is closed at once";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(250));
    for (auto& stream : idle) {
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*stream), {}), "")
            << "closed after its header timeout";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(3));
    signIn();
    EXPECT_EQ(statusOf(exchange(request("GET", "/api/menu", ""))), 200);
}

TEST_F(Served, EveryOpenEventStreamHearsOfAChangeWithinASecond) {
    signIn();
    constexpr int devices = 50;
    std::vector<std::unique_ptr<tcp::iostream>> streams;
    streams.reserve(devices);
    for (int device = 0; device < devices; ++device) {
        streams.push_back(openEvents());
    }
    const auto sent = std::chrono::steady_clock::now();
    const std::string added =
        exchange(request("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})"));
    ASSERT_EQ(statusOf(added), 200) << added;
    const std::string orders = exchange(request("GET", "/api/orders", ""));
    const std::string change =
        std::to_string(nlohmann::json::parse(orders.substr(orders.find("\r\n\r\n") + 4))["change"]
                           .get<std::int64_t>());
    for (auto& stream : streams) {
        std::string line;
        while (std::getline(*stream, line) && line.rfind("data: ", 0) != 0) {
        }
        EXPECT_EQ(line, "data: {\"change\": " + change + "}") << "the version the orders show";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
}

// A stream says it is there at each heartbeat, and ends when its session
// signs out, so that a device left signed in elsewhere hears nothing more.
TEST_F(Served, AStreamBeatsUntilItsSessionSignsOut) {
    signIn();
    const std::unique_ptr<tcp::iostream> stream = openEvents();
    std::string line;
    while (std::getline(*stream, line) && line.empty()) {
    }
    EXPECT_EQ(line, ": still here");
    EXPECT_EQ(statusOf(exchange(request("DELETE", "/api/session", "{}"))), 204);
    std::string rest(std::istreambuf_iterator<char>(*stream), {});
    EXPECT_TRUE(rest.empty() || rest.find("data:") == std::string::npos) << rest;
    EXPECT_EQ(stream->error(), boost::asio::error::eof) << "ended by the till, not by a timeout";
}

// While four strangers send wrong PINs as fast as they are answered, the
// PINs are checked off the server's thread: a signed-in device waits no
// longer for its reads.
TEST(ServedUnderASignInFlood, ADeviceSignedInIsAnsweredAsQuicklyAsEver) {
    MemoryJournal journal;
    journal.putStaff({"Bea", PinHash::of("1357")});
    DayService service{SmallRestaurant::menu(), journal};
    service.start();
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    WebServer server(api, events, {"127.0.0.1", 0, "", "", {}});
    std::thread serving([&] { server.run(); });
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    const auto send = [&](const std::string& bytes) {
        tcp::iostream stream("127.0.0.1", std::to_string(server.port()));
        stream.expires_after(std::chrono::seconds(10));
        stream << bytes << std::flush;
        return std::string(std::istreambuf_iterator<char>(stream), {});
    };
    const std::string signedIn =
        send(request(host, "POST", "/api/session", R"({"staff":"Bea","pin":"1357"})"));
    const std::size_t at = signedIn.find("session=");
    ASSERT_NE(at, std::string::npos) << signedIn;
    const std::string cookie =
        "Cookie: " + signedIn.substr(at, signedIn.find(';', at) - at) + "\r\n";

    std::atomic<bool> flooding{true};
    std::vector<std::thread> strangers;
    strangers.reserve(4);
    for (int stranger = 0; stranger < 4; ++stranger) {
        strangers.emplace_back([&] {
            while (flooding) {
                send(request(host, "POST", "/api/session", R"({"staff":"Bea","pin":"0000"})"));
            }
        });
    }
    std::vector<double> waits;
    for (int read = 0; read < 100; ++read) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(statusOf(send(request(host, "GET", "/api/menu", "", cookie))), 200);
        waits.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    flooding = false;
    for (std::thread& stranger : strangers) {
        stranger.join();
    }
    std::sort(waits.begin(), waits.end());
    EXPECT_LT(waits[98], 50.0) << "p99 of a signed-in device's reads, in ms";
    std::cout << "Sign-in flood: a signed-in device's reads took " << waits[49] << " ms at p50, "
              << waits[98] << " ms at p99, while 4 strangers sent wrong PINs" << std::endl;
    server.stop();
    serving.join();
}

// A self-signed certificate for 127.0.0.1 and its key, as PEM files.
void makeCertificate(const std::string& certificate, const std::string& key) {
    EVP_PKEY* pair = EVP_EC_gen("P-256");
    X509* made = X509_new();
    ASN1_INTEGER_set(X509_get_serialNumber(made), 1);
    X509_gmtime_adj(X509_getm_notBefore(made), 0);
    X509_gmtime_adj(X509_getm_notAfter(made), 3600);
    X509_set_pubkey(made, pair);
    X509_NAME* name = X509_get_subject_name(made);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(made, name);
    X509_sign(made, pair, EVP_sha256());
    FILE* file = std::fopen(key.c_str(), "wb");
    PEM_write_PrivateKey(file, pair, nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(file);
    file = std::fopen(certificate.c_str(), "wb");
    PEM_write_X509(file, made);
    std::fclose(file);
    X509_free(made);
    EVP_PKEY_free(pair);
}

class ServedOverTls : public TempFolder {};

TEST_F(ServedOverTls, ServesThePageOverHttpsWithTheCertificateGiven) {
    makeCertificate(file("till.pem"), file("till.key"));
    MemoryJournal journal;
    DayService service{SmallRestaurant::menu(), journal};
    service.start();
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    WebServer server(api, events, {"127.0.0.1", 0, file("till.pem"), file("till.key"), {}});
    ASSERT_TRUE(server.secure());
    std::thread serving([&] { server.run(); });

    namespace beast = boost::beast;
    boost::asio::io_context io;
    boost::asio::ssl::context tls(boost::asio::ssl::context::tls_client);
    tls.set_verify_mode(boost::asio::ssl::verify_none);
    beast::ssl_stream<beast::tcp_stream> stream(io, tls);
    beast::get_lowest_layer(stream).expires_after(std::chrono::seconds(5));
    beast::get_lowest_layer(stream).connect(
        tcp::endpoint(boost::asio::ip::make_address("127.0.0.1"), server.port()));
    stream.handshake(boost::asio::ssl::stream_base::client);
    beast::http::request<beast::http::empty_body> asked{beast::http::verb::get, "/api/menu", 11};
    asked.set(beast::http::field::host, "127.0.0.1:" + std::to_string(server.port()));
    beast::http::write(stream, asked);
    beast::flat_buffer buffer;
    beast::http::response<beast::http::string_body> answer;
    beast::http::read(stream, buffer, answer);
    EXPECT_EQ(answer.result_int(), 200U);
    EXPECT_EQ(answer[beast::http::field::strict_transport_security], "max-age=31536000");
    EXPECT_NE(answer.body().find("\"Noodle soup\""), std::string::npos) << answer.body();

    server.stop();
    serving.join();
}

}  // namespace
