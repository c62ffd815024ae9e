#include "control/ControlClient.h"

#include <cstring>
#include <iostream>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "control/ControlPath.h"

namespace {

// The till answers once the writer carried the change out: a busy day's
// batch is written in well under this.
constexpr int waitMilliseconds = 10000;

// Closes the socket whichever way the request ends.
struct Connection {
    int fd = -1;
    explicit Connection(int fd) : fd(fd) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

std::optional<nlohmann::json> ControlClient::ask(const std::string& journalPath,
                                                 const nlohmann::json& request) {
    const std::string path = ControlPath::of(journalPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const Connection connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (connection.fd < 0 || ::connect(connection.fd, reinterpret_cast<const sockaddr*>(&address),
                                       sizeof(address)) != 0) {
        return std::nullopt;
    }
    const std::string line = request.dump() + "\n";
    if (::send(connection.fd, line.data(), line.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(line.size())) {
        return nlohmann::json{{"ok", false}, {"error", "the till did not take the request"}};
    }
    std::string answer;
    char buffer[4096];
    for (;;) {
        pollfd ready{connection.fd, POLLIN, 0};
        if (::poll(&ready, 1, waitMilliseconds) <= 0) {
            return nlohmann::json{{"ok", false}, {"error", "the till did not answer in time"}};
        }
        const ssize_t got = ::read(connection.fd, buffer, sizeof(buffer));
        if (got <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    nlohmann::json parsed = nlohmann::json::parse(answer, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        return nlohmann::json{{"ok", false}, {"error", "the till's answer was not understood"}};
    }
    return parsed;
}

int ControlClient::told(const nlohmann::json& answer) {
    if (answer.value("ok", false)) {
        std::cout << answer.value("said", "") << std::endl;
        return 0;
    }
    std::cerr << "restaurant: " << answer.value("error", "the till refused") << std::endl;
    return 1;
}
