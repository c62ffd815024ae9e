// The web till over a real socket on loopback: the page and its policy, a
// body too large refused unread, and the event stream that tells every
// device of a change while many streams stay open. Every wait is bounded.
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
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
#include "web/WebApi.h"
#include "web/WebServer.h"

namespace {

using boost::asio::ip::tcp;

std::string request(const std::string& method, const std::string& target, const std::string& body,
                    const std::string& extra = "") {
    return method + " " + target +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n" + extra +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

class Served : public ::testing::Test {
protected:
    void SetUp() override {
        service.start();
        server =
            std::make_unique<WebServer>(api, events, WebServer::Options{"127.0.0.1", 0, "", ""});
        serving = std::thread([this] { server->run(); });
    }
    void TearDown() override {
        server->stop();
        serving.join();
    }

    // Sends the bytes on a new connection; returns all it reads in 5 s.
    std::string exchange(const std::string& bytes) {
        tcp::iostream stream("127.0.0.1", std::to_string(server->port()));
        stream.expires_after(std::chrono::seconds(5));
        stream << bytes << std::flush;
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    MemoryJournal journal;
    DayService service{SmallRestaurant::menu(), journal};
    Sessions sessions{DayService::systemClock};
    EventHub events;
    WebApi api{service, journal, sessions, events};
    std::unique_ptr<WebServer> server;
    std::thread serving;
};

TEST_F(Served, ServesThePageWithAPolicyThatLetsInNothingFromElsewhere) {
    const std::string page =
        exchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(page.rfind("HTTP/1.1 200 OK\r\n", 0), 0U) << page.substr(0, 200);
    EXPECT_NE(page.find("Content-Security-Policy: default-src 'self'; script-src 'self';"),
              std::string::npos);
    EXPECT_NE(page.find("<script type=\"module\" src=\"/app.js\"></script>"), std::string::npos);
    const std::string script =
        exchange("GET /app.js HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_NE(script.find("Content-Type: text/javascript"), std::string::npos);
    const std::string large =
        exchange(request("POST", "/api/orders/5/items", std::string(70000, ' ')));
    EXPECT_EQ(large.rfind("HTTP/1.1 413 ", 0), 0U) << large.substr(0, 200);
    EXPECT_EQ(journal.currentDay().entries.size(), 1U);
}

TEST_F(Served, EveryOpenEventStreamHearsOfAChangeWithinASecond) {
    constexpr int devices = 50;
    std::vector<std::unique_ptr<tcp::iostream>> streams;
    for (int device = 0; device < devices; ++device) {
        streams.push_back(
            std::make_unique<tcp::iostream>("127.0.0.1", std::to_string(server->port())));
        streams.back()->expires_after(std::chrono::seconds(5));
        *streams.back() << "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" << std::flush;
        std::string line;
        while (std::getline(*streams.back(), line) && line != "retry: 1000") {
        }
        ASSERT_EQ(line, "retry: 1000") << "device " << device;
    }
    const auto sent = std::chrono::steady_clock::now();
    const std::string added =
        exchange(request("POST", "/api/orders/5/items", R"({"kind":"dish","item":1})"));
    ASSERT_EQ(added.rfind("HTTP/1.1 200 OK\r\n", 0), 0U) << added;
    const std::string orders =
        exchange("GET /api/orders HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
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
    WebServer server(api, events, {"127.0.0.1", 0, file("till.pem"), file("till.key")});
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
    asked.set(beast::http::field::host, "127.0.0.1");
    beast::http::write(stream, asked);
    beast::flat_buffer buffer;
    beast::http::response<beast::http::string_body> answer;
    beast::http::read(stream, buffer, answer);
    EXPECT_EQ(answer.result_int(), 200U);
    EXPECT_NE(answer.body().find("\"Noodle soup\""), std::string::npos) << answer.body();

    server.stop();
    serving.join();
}

}  // namespace
