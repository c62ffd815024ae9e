#include "control/ControlSocket.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {

// A request is a line of JSON: a menu of some thousand items fits.
constexpr std::size_t longestRequest = std::size_t{4} * 1024 * 1024;
constexpr int waitMilliseconds = 5000;

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        throw std::runtime_error("the control socket's path is too long: " + path);
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// A socket file no till answers at is left from one that stopped: it goes.
void removeStale(const std::string& path, const sockaddr_un& address) {
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered =
        probe >= 0 &&
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (probe >= 0) {
        ::close(probe);
    }
    if (answered) {
        throw std::runtime_error("another till answers at " + path);
    }
    ::unlink(path.c_str());
}

// Reads one line, bounded in size and time.
std::optional<std::string> lineFrom(int client) {
    std::string line;
    char buffer[65536];
    while (line.find('\n') == std::string::npos && line.size() <= longestRequest) {
        pollfd ready{client, POLLIN, 0};
        if (::poll(&ready, 1, waitMilliseconds) <= 0) {
            return std::nullopt;
        }
        const ssize_t got = ::read(client, buffer, sizeof(buffer));
        if (got <= 0) {
            break;
        }
        line.append(buffer, static_cast<std::size_t>(got));
    }
    if (line.size() > longestRequest) {
        return std::nullopt;
    }
    return line.substr(0, line.find('\n'));
}

void writeAll(int client, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t wrote = ::send(client, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (wrote <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(wrote);
    }
}

}  // namespace

ControlSocket::ControlSocket(DayService& service, std::string path)
    : requests(service), path(std::move(path)) {
    const sockaddr_un address = addressOf(this->path);
    removeStale(this->path, address);
    listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // The socket is made owner-only before it exists: no moment of a wider
    // mode for another user to connect in.
    const mode_t before = ::umask(0077);
    const bool bound =
        listening >= 0 &&
        ::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::umask(before);
    if (!bound || ::chmod(this->path.c_str(), 0600) != 0 || ::listen(listening, 8) != 0 ||
        ::pipe2(wake, O_CLOEXEC) != 0) {
        const std::string why = std::strerror(errno);
        if (listening >= 0) {
            ::close(listening);
        }
        throw std::runtime_error("cannot listen at " + this->path + ": " + why);
    }
    thread = std::thread([this] { serve(); });
}

ControlSocket::~ControlSocket() {
    const char stop = 0;
    (void)!::write(wake[1], &stop, 1);
    thread.join();
    ::close(listening);
    ::close(wake[0]);
    ::close(wake[1]);
    ::unlink(path.c_str());
}

void ControlSocket::serve() {
    for (;;) {
        pollfd ready[2] = {{listening, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((ready[1].revents & POLLIN) != 0) {
            return;
        }
        if ((ready[0].revents & POLLIN) != 0) {
            const int client = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                answer(client);
                ::close(client);
            }
        }
    }
}

bool ControlSocket::trusted(int client, uid_t& uid) {
    ucred peer{};
    socklen_t size = sizeof(peer);
    if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        return false;
    }
    uid = peer.uid;
    return peer.uid == ::geteuid() || peer.uid == 0;
}

void ControlSocket::answer(int client) {
    uid_t uid = 0;
    if (!trusted(client, uid)) {
        writeAll(client, R"({"ok":false,"error":"only the till's own user or root may change it"})"
                         "\n");
        return;
    }
    const std::optional<std::string> line = lineFrom(client);
    const nlohmann::json request =
        line ? nlohmann::json::parse(*line, nullptr, false) : nlohmann::json();
    const nlohmann::json answered =
        request.is_discarded() || !request.is_object()
            ? nlohmann::json{{"ok", false}, {"error", "the request is not one line of JSON"}}
            : requests.handle(request, uid);
    writeAll(client,
             answered.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}
