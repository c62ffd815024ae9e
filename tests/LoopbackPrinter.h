#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// PrintedTicket is what a receipt printer made of one ticket's ESC/POS: its
// lines of text, those printed double size, whether it was headed COPY, and
// whether the paper was cut after it.
struct PrintedTicket {
    std::vector<std::string> lines;
    std::vector<std::string> doubled;
    bool copy = false;
    bool cut = false;

    // Reads one ticket's bytes, from ESC @ to the cut.
    static PrintedTicket of(const std::string& bytes) {
        PrintedTicket ticket;
        bool doubleSize = false;
        bool bold = false;
        std::string line;
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            const char c = bytes[at];
            if (c == '\x1b' || c == '\x1d') {
                const char command = at + 1 < bytes.size() ? bytes[at + 1] : '\0';
                const char value = at + 2 < bytes.size() ? bytes[at + 2] : '\0';
                if (c == '\x1d' && command == '!') doubleSize = value != 0;
                if (c == '\x1b' && command == 'E') bold = value != 0;
                if (c == '\x1d' && command == 'V') ticket.cut = true;
                at += command == '@' ? 1 : command == 'V' ? 3 : 2;
            } else if (c == '\n') {
                ticket.copy = ticket.copy || (bold && line == "COPY") || line == "COPY";
                (doubleSize ? ticket.doubled : ticket.lines).push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        return ticket;
    }
};

// LoopbackPrinter stands for a network receipt printer, raw on a port of
// the loopback: it takes each connection's bytes and reads them as tickets.
// Given a port, it listens there once start() is called, so that a till
// may try it while it is off.
class LoopbackPrinter {
public:
    explicit LoopbackPrinter(int port = 0) : port(port) {}
    LoopbackPrinter(const LoopbackPrinter&) = delete;
    LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;
    ~LoopbackPrinter() {
        if (listening >= 0) {
            ::shutdown(listening, SHUT_RDWR);
            ::close(listening);
        }
        if (thread.joinable()) {
            thread.join();
        }
    }

    // Returns a port free now on the loopback, for a printer that is off.
    static int freePort() {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(probe);
        return ntohs(address.sin_port);
    }

    int start() {
        listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(listening, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address = loopback(port);
        ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listening, 8);
        socklen_t size = sizeof address;
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        thread = std::thread([this] { serve(); });
        return port;
    }

    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(port); }

    // Returns when each ticket printed so far came, in the order they came.
    std::vector<std::chrono::steady_clock::time_point> times() {
        std::lock_guard<std::mutex> lock(mutex);
        return came;
    }

    // Returns the tickets printed so far, once `count` are, or after `patience`.
    std::vector<PrintedTicket> tickets(std::size_t count, std::chrono::milliseconds patience) {
        const auto until = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < until) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (printed.size() >= count) {
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::lock_guard<std::mutex> lock(mutex);
        return printed;
    }

private:
    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    // One connection may carry several tickets, each from its ESC @.
    void serve() {
        for (int connection; (connection = ::accept(listening, nullptr, nullptr)) >= 0;) {
            std::string bytes;
            char buffer[4096];
            for (ssize_t got; (got = ::read(connection, buffer, sizeof buffer)) > 0;) {
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
            ::close(connection);
            std::lock_guard<std::mutex> lock(mutex);
            for (std::size_t at = bytes.find("\x1b@"); at != std::string::npos;) {
                const std::size_t next = bytes.find("\x1b@", at + 2);
                printed.push_back(PrintedTicket::of(bytes.substr(at, next - at)));
                came.push_back(std::chrono::steady_clock::now());
                at = next;
            }
        }
    }

    int port;
    int listening = -1;
    std::mutex mutex;
    std::vector<PrintedTicket> printed;
    std::vector<std::chrono::steady_clock::time_point> came;
    std::thread thread;
};
