#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <chrono>
#include <string>

#include "web/ConnectionLimits.h"
#include "web/EventHub.h"
#include "web/HostNames.h"
#include "web/WebApi.h"

// What every connection of a server shares: where its requests go, the
// names it answers to, and how long it waits. It lives on the server's
// thread, as its connections do.
struct ConnectionContext {
    WebApi& api;
    EventHub& events;
    HostNames& hosts;
    // How long a request's headers may take to arrive, from the connection's
    // start or the answer before.
    std::chrono::milliseconds headerTimeout{10000};
    // How often an event stream says it is still there.
    std::chrono::milliseconds heartbeat{15000};
};

// HttpConnection serves one device's connection: requests read one after
// another, each answered; or, once it asks for the event stream, the stream
// alone, which holds at most the latest change for a device that stops
// reading. A connection keeps itself alive until it closes.
class HttpConnection {
public:
    // Starts serving the socket, over TLS when a context is given; its slot
    // is held until the connection closes.
    static void start(boost::asio::ip::tcp::socket socket, boost::asio::ssl::context* tls,
                      ConnectionContext& context, std::string peer, ConnectionLimits::Slot slot);
};
