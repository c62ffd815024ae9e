#include "kitchen/PrinterLink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

std::string because(int error) { return std::strerror(error); }

// Waits until the descriptor is ready for writing; false after `within`.
bool writable(int descriptor, std::chrono::milliseconds within) {
    pollfd ready{descriptor, POLLOUT, 0};
    return ::poll(&ready, 1, static_cast<int>(within.count())) == 1 &&
           (ready.revents & (POLLERR | POLLHUP)) == 0;
}

}  // namespace

PrinterLink::PrinterLink(std::string address) : address(std::move(address)) {}

PrinterLink::~PrinterLink() { close(); }

std::optional<std::string> PrinterLink::open(std::chrono::milliseconds within) {
    close();
    const std::string tcp = "tcp://";
    if (address.rfind(tcp, 0) != 0) {
        descriptor =
            ::open(address.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        return descriptor < 0 ? std::optional<std::string>(because(errno)) : std::nullopt;
    }
    const std::size_t colon = address.rfind(':');
    return connect(address.substr(tcp.size(), colon - tcp.size()), address.substr(colon + 1),
                   within);
}

std::optional<std::string> PrinterLink::connect(const std::string& host, const std::string& port,
                                                std::chrono::milliseconds within) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); failed != 0) {
        return std::string(gai_strerror(failed));
    }
    std::optional<std::string> why = "no address";
    for (addrinfo* at = found; at != nullptr && why; at = at->ai_next) {
        descriptor = ::socket(at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                              at->ai_protocol);
        if (descriptor < 0) {
            why = because(errno);
            continue;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if ((::connect(descriptor, at->ai_addr, at->ai_addrlen) == 0 ||
             (errno == EINPROGRESS && writable(descriptor, within))) &&
            ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) {
            why.reset();
        } else {
            why = error != 0 ? because(error) : std::string("no answer");
            close();
        }
    }
    ::freeaddrinfo(found);
    return why;
}

std::optional<std::string> PrinterLink::send(const std::string& bytes,
                                             std::chrono::milliseconds within) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (!writable(descriptor, within)) {
            return std::string("the printer took nothing for ") + std::to_string(within.count()) +
                   " ms";
        }
        const ssize_t wrote =
            ::send(descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        const ssize_t written = wrote < 0 && errno == ENOTSOCK
                                    ? ::write(descriptor, bytes.data() + sent, bytes.size() - sent)
                                    : wrote;
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return because(errno);
        }
        sent += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return std::nullopt;
}

void PrinterLink::close() {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}
