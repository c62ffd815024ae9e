#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "web/EventHub.h"
#include "web/WebApi.h"

// WebServer carries the web till over HTTP, or HTTPS when it has a
// certificate: asynchronous on one thread, so that a device holding an
// event stream open holds no thread. Each request goes to the API whole;
// bodies over 64 KiB are refused unread.
class WebServer {
public:
    struct Options {
        std::string address = "127.0.0.1";
        unsigned short port = 8080;
        // PEM files; with both, the server speaks HTTPS alone.
        std::string certificate;
        std::string key;
    };

    // Binds the address; throws std::runtime_error when it cannot.
    WebServer(WebApi& api, EventHub& events, const Options& options);
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;
    ~WebServer();

    // Returns the port it listens on, the one the system chose for port 0.
    unsigned short port() const;
    bool secure() const;
    // Serves until stop() is called, or one of the signals comes;
    // connections are closed then.
    void run(std::initializer_list<int> stopSignals = {});
    // Stops the server, from any thread or a signal's handler thread.
    void stop();

private:
    void accept();

    WebApi& api;
    EventHub& events;
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor acceptor;
    std::optional<boost::asio::ssl::context> tls;
};
