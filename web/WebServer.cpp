#include "web/WebServer.h"

#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/beast/core/error.hpp>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// Long enough for a few descriptors to come free, short enough that a
// device waiting in the backlog hardly notices.
constexpr std::chrono::milliseconds acceptBackOff{100};

}  // namespace

WebServer::WebServer(WebApi& api, EventHub& events, const Options& options)
    : api(api), acceptor(io), retry(io) {
    if (!options.certificate.empty()) {
        tls.emplace(asio::ssl::context::tls_server);
        tls->use_certificate_chain_file(options.certificate);
        tls->use_private_key_file(options.key, asio::ssl::context::pem);
    }
    bind(options);
    hosts.emplace(options.address, port(), secure(), options.hostnames);
    context.emplace(
        ConnectionContext{api, events, *hosts, options.headerTimeout, options.heartbeat});
    accept();
    api.deliverOn([this](std::function<void()> delivery) { asio::post(io, std::move(delivery)); });
}

// Answers still being written are delivered to the stopped loop, and go
// with it.
WebServer::~WebServer() {
    api.settle();
    api.deliverOn({});
}

unsigned short WebServer::port() const { return acceptor.local_endpoint().port(); }

bool WebServer::secure() const { return tls.has_value(); }

// A handler that throws leaves the loop; the loop takes up the rest again,
// so that one request's fault never stops the till.
void WebServer::run(std::initializer_list<int> stopSignals) {
    asio::signal_set signals(io);
    for (int signal : stopSignals) {
        signals.add(signal);
    }
    if (stopSignals.size() > 0) {
        signals.async_wait([this](boost::system::error_code error, int) {
            if (!error) {
                stop();
            }
        });
    }
    while (true) {
        try {
            io.run();
            break;
        } catch (const std::exception& failure) {
            std::cerr << "restaurant: a request failed: " << failure.what() << std::endl;
        }
    }
    api.settle();
}

void WebServer::stop() {
    asio::post(io, [this] {
        boost::system::error_code ignored;
        acceptor.close(ignored);
        retry.cancel();
        io.stop();
    });
}

void WebServer::bind(const Options& options) {
    boost::system::error_code error;
    const asio::ip::address address = asio::ip::make_address(options.address, error);
    if (error) {
        throw std::runtime_error("'" + options.address + "' is not an IP address");
    }
    const tcp::endpoint endpoint(address, options.port);
    acceptor.open(endpoint.protocol());
    acceptor.set_option(asio::socket_base::reuse_address(true));
    acceptor.bind(endpoint, error);
    if (error) {
        throw std::runtime_error("cannot listen on " + options.address + ":" +
                                 std::to_string(options.port) + ": " + error.message());
    }
    acceptor.listen();
}

void WebServer::accept() {
    acceptor.async_accept([this](boost::system::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor.is_open()) {
            return;
        }
        if (error) {
            backOff(error);
            return;
        }
        if (backingOff) {
            backingOff = false;
            std::cerr << "restaurant: accepting connections again" << std::endl;
        }
        admit(std::move(socket));
        accept();
    });
}

// Beyond a cap the connection is closed at once, before it holds anything.
void WebServer::admit(tcp::socket socket) {
    boost::system::error_code ignored;
    const std::string peer = socket.remote_endpoint(ignored).address().to_string();
    std::optional<ConnectionLimits::Slot> slot = limits.admit(peer);
    if (!slot) {
        return;
    }
    HttpConnection::start(std::move(socket), tls ? &*tls : nullptr, *context, peer,
                          std::move(*slot));
}

// Out of descriptors (EMFILE, ENFILE) or memory, the server waits a little
// and accepts again, saying so once.
void WebServer::backOff(const boost::system::error_code& error) {
    if (!backingOff) {
        backingOff = true;
        std::cerr << "restaurant: cannot accept a connection: " << error.message()
                  << "; trying again" << std::endl;
    }
    retry.expires_after(acceptBackOff);
    retry.async_wait([this](boost::system::error_code waited) {
        if (!waited) {
            accept();
        }
    });
}
