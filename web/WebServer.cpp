#include "web/WebServer.h"

#include <boost/asio/signal_set.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <deque>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "web/DayJson.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr std::size_t largestBody = std::size_t{64} * 1024;

WebRequest requestOf(const http::request<http::string_body>& message, const std::string& peer,
                     bool secure) {
    WebRequest request;
    request.secure = secure;
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    request.host = std::string(message[http::field::host]);
    if (message.find(http::field::origin) != message.end()) {
        request.origin = std::string(message[http::field::origin]);
    }
    request.contentType = std::string(message[http::field::content_type]);
    request.cookie = std::string(message[http::field::cookie]);
    request.idempotencyKey = std::string(message["Idempotency-Key"]);
    request.body = message.body();
    request.peer = peer;
    return request;
}

http::response<http::string_body> responseOf(const WebAnswer& answer, unsigned version,
                                             bool keepAlive) {
    http::response<http::string_body> response{static_cast<http::status>(answer.status), version};
    response.set(http::field::server, "restaurant");
    response.set(http::field::content_type, answer.contentType);
    for (const auto& [name, value] : answer.headers) {
        response.insert(name, value);
    }
    response.keep_alive(keepAlive);
    response.body() = answer.body;
    response.prepare_payload();
    return response;
}

// One connection: requests read one after another, each answered; or, once
// it asks for the event stream, the stream alone.
template <typename Stream>
class Connection : public std::enable_shared_from_this<Connection<Stream>> {
public:
    Connection(Stream stream, WebApi& api, EventHub& events, std::string peer)
        : stream(std::move(stream)), api(api), events(events), peer(std::move(peer)) {}
    ~Connection() {
        if (listener >= 0) {
            events.stop(listener);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() {
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            read();
        } else {
            beast::get_lowest_layer(stream).expires_after(std::chrono::seconds(30));
            stream.async_handshake(asio::ssl::stream_base::server,
                                   [self = this->shared_from_this()](beast::error_code error) {
                                       if (!error) {
                                           self->read();
                                       }
                                   });
        }
    }

private:
    void read() {
        parser.emplace();
        parser->body_limit(largestBody);
        beast::get_lowest_layer(stream).expires_after(std::chrono::minutes(2));
        http::async_read(stream, buffer, *parser,
                         [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                             self->received(error);
                         });
    }

    void received(beast::error_code error) {
        if (error == http::error::body_limit) {
            WebAnswer tooLarge{413,
                               "application/json",
                               R"({"error":"the body is larger than 64 KiB"})",
                               {},
                               false};
            send(responseOf(tooLarge, 11, false), false);
            return;
        }
        if (error) {
            return;
        }
        const http::request<http::string_body>& message = parser->get();
        const unsigned version = message.version();
        const bool keepAlive = message.keep_alive();
        auto reply = [self = this->shared_from_this(), version, keepAlive](WebAnswer answer) {
            self->answered(answer, version, keepAlive);
        };
        // A request the API could not answer fails alone: the server goes on.
        try {
            api.handle(requestOf(message, peer, !std::is_same_v<Stream, beast::tcp_stream>), reply);
        } catch (const JournalError& failure) {
            reply(failed(503, failure.what()));
        } catch (const std::exception& failure) {
            reply(failed(500, failure.what()));
        }
    }

    void answered(const WebAnswer& answer, unsigned version, bool keepAlive) {
        if (answer.eventStream && answer.status == 200) {
            beginEvents(version);
            return;
        }
        send(responseOf(answer, version, keepAlive), keepAlive);
    }

    static WebAnswer failed(int status, const std::string& why) {
        const nlohmann::json body = {{"error", "the till could not answer: " + why}};
        return {status, "application/json", DayJson::text(body), {}, false};
    }

    void send(http::response<http::string_body> response, bool more) {
        auto kept = std::make_shared<http::response<http::string_body>>(std::move(response));
        http::async_write(
            stream, *kept,
            [self = this->shared_from_this(), kept, more](beast::error_code error, std::size_t) {
                if (!error && more) {
                    self->read();
                } else {
                    self->close();
                }
            });
    }

    // The stream's head goes out at once, then an event after each change.
    void beginEvents(unsigned version) {
        beast::get_lowest_layer(stream).expires_never();
        std::string head = "HTTP/1." + std::to_string(version % 10) +
                           " 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: "
                           "no-store\r\nConnection: keep-alive\r\n\r\nretry: 1000\n\n";
        std::weak_ptr<Connection> weak = this->shared_from_this();
        listener = events.listen([weak](std::int64_t change) {
            if (auto self = weak.lock()) {
                self->queue("id: " + std::to_string(change) +
                            "\nevent: change\ndata: {\"change\": " + std::to_string(change) +
                            "}\n\n");
            }
        });
        queue(std::move(head));
        watchForClose();
    }

    void queue(std::string text) {
        outbox.push_back(std::move(text));
        if (outbox.size() == 1) {
            writeNext();
        }
    }

    void writeNext() {
        asio::async_write(stream, asio::buffer(outbox.front()),
                          [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                              if (error) {
                                  self->close();
                                  return;
                              }
                              self->outbox.pop_front();
                              if (!self->outbox.empty()) {
                                  self->writeNext();
                              }
                          });
    }

    // A device that goes away ends its stream's read.
    void watchForClose() {
        stream.async_read_some(asio::buffer(ignored), [self = this->shared_from_this()](
                                                          beast::error_code error, std::size_t) {
            if (error) {
                self->close();
            } else {
                self->watchForClose();
            }
        });
    }

    void close() {
        if (listener >= 0) {
            events.stop(listener);
            listener = -1;
        }
        beast::error_code ignoredError;
        beast::get_lowest_layer(stream).socket().shutdown(tcp::socket::shutdown_both, ignoredError);
    }

    Stream stream;
    WebApi& api;
    EventHub& events;
    std::string peer;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    std::deque<std::string> outbox;
    char ignored[512] = {};
    int listener = -1;
};

}  // namespace

WebServer::WebServer(WebApi& api, EventHub& events, const Options& options)
    : api(api), events(events), acceptor(io) {
    if (!options.certificate.empty()) {
        tls.emplace(asio::ssl::context::tls_server);
        tls->use_certificate_chain_file(options.certificate);
        tls->use_private_key_file(options.key, asio::ssl::context::pem);
    }
    beast::error_code error;
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

void WebServer::run(std::initializer_list<int> stopSignals) {
    asio::signal_set signals(io);
    for (int signal : stopSignals) {
        signals.add(signal);
    }
    if (stopSignals.size() > 0) {
        signals.async_wait([this](beast::error_code error, int) {
            if (!error) {
                stop();
            }
        });
    }
    io.run();
    api.settle();
}

void WebServer::stop() {
    asio::post(io, [this] {
        beast::error_code ignored;
        acceptor.close(ignored);
        io.stop();
    });
}

void WebServer::accept() {
    acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (error) {
            return;
        }
        beast::error_code ignored;
        const std::string peer = socket.remote_endpoint(ignored).address().to_string();
        if (tls) {
            std::make_shared<Connection<beast::ssl_stream<beast::tcp_stream>>>(
                beast::ssl_stream<beast::tcp_stream>(beast::tcp_stream(std::move(socket)), *tls),
                api, events, peer)
                ->start();
        } else {
            std::make_shared<Connection<beast::tcp_stream>>(beast::tcp_stream(std::move(socket)),
                                                            api, events, peer)
                ->start();
        }
        accept();
    });
}
