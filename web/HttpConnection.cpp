#include "web/HttpConnection.h"

#include <boost/asio/ssl/stream.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <memory>
#include <optional>
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
constexpr std::size_t largestHeaders = std::size_t{16} * 1024;
constexpr std::chrono::seconds bodyTimeout{30};
constexpr std::chrono::seconds lingering{2};
constexpr const char* strictTransport = "max-age=31536000";

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
                                             bool keepAlive, bool secure) {
    http::response<http::string_body> response{static_cast<http::status>(answer.status), version};
    response.set(http::field::server, "restaurant");
    response.set(http::field::content_type, answer.contentType);
    if (secure) {
        response.set(http::field::strict_transport_security, strictTransport);
    }
    for (const auto& [name, value] : answer.headers) {
        response.insert(name, value);
    }
    response.keep_alive(keepAlive);
    response.body() = answer.body;
    response.prepare_payload();
    return response;
}

WebAnswer failed(int status, const std::string& why) {
    return WebAnswer::refusal(status, "the till could not answer: " + why);
}

template <typename Stream>
class Connection : public std::enable_shared_from_this<Connection<Stream>> {
public:
    Connection(Stream stream, ConnectionContext& context, std::string peer,
               ConnectionLimits::Slot slot)
        : stream(std::move(stream)),
          context(context),
          peer(std::move(peer)),
          slot(std::move(slot)),
          timer(beast::get_lowest_layer(this->stream).get_executor()) {}
    ~Connection() { stopListening(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() {
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            read();
        } else {
            beast::get_lowest_layer(stream).expires_after(context.headerTimeout);
            stream.async_handshake(asio::ssl::stream_base::server,
                                   [self = this->shared_from_this()](beast::error_code error) {
                                       if (!error) {
                                           self->read();
                                       }
                                   });
        }
    }

private:
    static constexpr bool secure = !std::is_same_v<Stream, beast::tcp_stream>;

    // The headers must come within the header timeout, however slowly a
    // device sends them; the body has a while of its own.
    void read() {
        parser.emplace();
        parser->header_limit(largestHeaders);
        parser->body_limit(largestBody);
        beast::get_lowest_layer(stream).expires_after(context.headerTimeout);
        http::async_read_header(
            stream, buffer, *parser,
            [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                if (error) {
                    self->unreadable(error);
                    return;
                }
                beast::get_lowest_layer(self->stream).expires_after(bodyTimeout);
                http::async_read(self->stream, self->buffer, *self->parser,
                                 [self](beast::error_code bodyError, std::size_t) {
                                     self->received(bodyError);
                                 });
            });
    }

    // A request refused before it was read whole is answered, then the
    // rest is read and let go for a while, so that the device reads the
    // answer before the connection closes under what it still sends.
    void unreadable(beast::error_code error) {
        if (error != http::error::header_limit && error != http::error::body_limit) {
            close();
            return;
        }
        const WebAnswer refused =
            error == http::error::header_limit
                ? WebAnswer::refusal(431, "the headers are larger than 16 KiB")
                : WebAnswer::refusal(413, "the body is larger than 64 KiB");
        auto kept = std::make_shared<http::response<http::string_body>>(
            responseOf(refused, 11, false, secure));
        http::async_write(
            stream, *kept,
            [self = this->shared_from_this(), kept](beast::error_code written, std::size_t) {
                if (written) {
                    self->close();
                    return;
                }
                beast::error_code ignoredError;
                beast::get_lowest_layer(self->stream)
                    .socket()
                    .shutdown(tcp::socket::shutdown_send, ignoredError);
                beast::get_lowest_layer(self->stream).expires_after(lingering);
                self->drain();
            });
    }

    void drain() {
        beast::get_lowest_layer(stream).async_read_some(
            asio::buffer(ignored),
            [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                if (error) {
                    self->close();
                } else {
                    self->drain();
                }
            });
    }

    void received(beast::error_code error) {
        if (error) {
            unreadable(error);
            return;
        }
        const http::request<http::string_body>& message = parser->get();
        const WebRequest request = requestOf(message, peer, secure);
        auto reply = [self = this->shared_from_this(), version = message.version(),
                      keepAlive = message.keep_alive(), session = request.sessionToken()](
                         WebAnswer answer) { self->answered(answer, version, keepAlive, session); };
        if (std::optional<WebAnswer> refused = context.hosts.refusal(request)) {
            reply(std::move(*refused));
            return;
        }
        // A request the API could not answer fails alone: the server goes on.
        try {
            context.api.handle(request, reply);
        } catch (const JournalError& failure) {
            reply(failed(503, failure.what()));
        } catch (const std::exception& failure) {
            reply(failed(500, failure.what()));
        }
    }

    void answered(const WebAnswer& answer, unsigned version, bool keepAlive,
                  const std::string& session) {
        if (answer.eventStream && answer.status == 200) {
            beginEvents(version, session);
            return;
        }
        send(responseOf(answer, version, keepAlive, secure), keepAlive);
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

    // The stream's head goes out at once, then an event after each change,
    // and a comment at each heartbeat.
    void beginEvents(unsigned version, const std::string& session) {
        beast::get_lowest_layer(stream).expires_never();
        std::weak_ptr<Connection> weak = this->shared_from_this();
        listener = context.events.listen(
            session,
            [weak](std::int64_t change) {
                if (auto self = weak.lock()) {
                    self->queue("id: " + std::to_string(change) +
                                "\nevent: change\ndata: {\"change\": " + std::to_string(change) +
                                "}\n\n");
                }
            },
            [weak] {
                if (auto self = weak.lock()) {
                    self->listener = -1;
                    self->close();
                }
            });
        queue("HTTP/1." + std::to_string(version % 10) +
              " 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n" +
              (secure ? std::string("Strict-Transport-Security: ") + strictTransport + "\r\n"
                      : std::string()) +
              "Connection: keep-alive\r\n\r\nretry: 1000\n\n");
        watchForClose();
        beat();
    }

    // While one write is on its way, only the latest text waits behind it:
    // a device that stops reading holds one change, never a growing queue.
    void queue(std::string text) {
        if (writing) {
            waiting = std::move(text);
            return;
        }
        writing = true;
        current = std::move(text);
        asio::async_write(stream, asio::buffer(current),
                          [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                              self->written(error);
                          });
    }

    void written(beast::error_code error) {
        writing = false;
        ++writes;
        if (error) {
            close();
            return;
        }
        if (waiting) {
            std::string next = std::move(*waiting);
            waiting.reset();
            queue(std::move(next));
        }
    }

    // A write still on its way a whole heartbeat later goes to a device that
    // no longer reads: its stream ends, and its descriptor is free again.
    void beat() {
        timer.expires_after(context.heartbeat);
        timer.async_wait([self = this->shared_from_this()](beast::error_code error) {
            if (error || self->closed) {
                return;
            }
            if (self->writing && self->writes == self->writesAtBeat) {
                self->close();
                return;
            }
            self->writesAtBeat = self->writes;
            if (!self->writing) {
                self->queue(": still here\n\n");
            }
            self->beat();
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

    void stopListening() {
        if (listener >= 0) {
            context.events.stop(listener);
            listener = -1;
        }
    }

    void close() {
        closed = true;
        stopListening();
        timer.cancel();
        beast::error_code ignoredError;
        beast::get_lowest_layer(stream).socket().shutdown(tcp::socket::shutdown_both, ignoredError);
    }

    Stream stream;
    ConnectionContext& context;
    std::string peer;
    ConnectionLimits::Slot slot;
    asio::steady_timer timer;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    std::string current;
    std::optional<std::string> waiting;
    bool writing = false;
    bool closed = false;
    std::uint64_t writes = 0;
    std::uint64_t writesAtBeat = 0;
    char ignored[512] = {};
    int listener = -1;
};

}  // namespace

void HttpConnection::start(tcp::socket socket, asio::ssl::context* tls, ConnectionContext& context,
                           std::string peer, ConnectionLimits::Slot slot) {
    if (tls != nullptr) {
        using Secure = beast::ssl_stream<beast::tcp_stream>;
        std::make_shared<Connection<Secure>>(Secure(beast::tcp_stream(std::move(socket)), *tls),
                                             context, std::move(peer), std::move(slot))
            ->start();
    } else {
        std::make_shared<Connection<beast::tcp_stream>>(beast::tcp_stream(std::move(socket)),
                                                        context, std::move(peer), std::move(slot))
            ->start();
    }
}
