#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "web/ConnectionLimits.h"
#include "web/EventHub.h"
#include "web/HostNames.h"
#include "web/HttpConnection.h"
#include "web/WebApi.h"

// WebServer carries the web till over HTTP, or HTTPS when it has a
// certificate: asynchronous on one thread, so that a device holding an
// event stream open holds no thread. It answers only to its own names, caps
// the connections it holds, and keeps accepting when the system runs out of
// descriptors; a request that fails, fails alone.
class WebServer {
public:
    struct Options {
        std::string address = "127.0.0.1";
        unsigned short port = 8080;
        // PEM files; with both, the server speaks HTTPS alone.
        std::string certificate;
        std::string key;
        // Names beside its addresses that devices reach the till by.
        std::vector<std::string> hostnames;
        std::chrono::milliseconds headerTimeout{10000};
        std::chrono::milliseconds heartbeat{15000};
    };

    // Binds the address; throws std::runtime_error when it cannot.
    WebServer(WebApi& api, EventHub& events, const Options& options);
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;
    ~WebServer();

    // Returns the port it listens on, the one the system chose for port 0.
    [[nodiscard]] unsigned short port() const;
    [[nodiscard]] bool secure() const;
    // Serves until stop() is called, or one of the signals comes;
    // connections are closed then.
    void run(std::initializer_list<int> stopSignals = {});
    // Stops the server, from any thread or a signal's handler thread.
    void stop();

private:
    void bind(const Options& options);
    void accept();
    void admit(boost::asio::ip::tcp::socket socket);
    void backOff(const boost::system::error_code& error);

    WebApi& api;
    std::optional<boost::asio::ssl::context> tls;
    std::optional<HostNames> hosts;
    std::optional<ConnectionContext> context;
    ConnectionLimits limits;
    bool backingOff = false;
    // Declared last, so that the connections the loop still holds when it
    // goes find everything above them still there.
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::steady_timer retry;
};
