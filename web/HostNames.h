#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "web/WebExchange.h"

// HostNames are the names a device may reach the till by, each with the
// port it listens on or with none: its listen address (on a wildcard address, every
// address of the machine's own interfaces), the loopback names, and the
// names it is given. A page of another site that rebinds its own name to the
// till's address sends its own name, and is refused. It lives on the
// server's thread.
class HostNames {
public:
    HostNames(std::string listenAddress, unsigned short port, bool secure,
              std::vector<std::string> names);

    // Whether a request's Host header names the till.
    [[nodiscard]] bool allowsHost(std::string_view host);
    // Whether an Origin header is the till's own: one of its hosts, with the
    // scheme it speaks.
    [[nodiscard]] bool allowsOrigin(std::string_view origin);
    // Refuses a request that names another site: 421 for a Host not the
    // till's, 403 for an Origin not its own.
    [[nodiscard]] std::optional<WebAnswer> refusal(const WebRequest& request);

private:
    void learn();
    void add(std::string name);

    std::string listenAddress;
    unsigned short port;
    bool secure;
    std::vector<std::string> names;
    std::set<std::string> allowed;
    std::chrono::steady_clock::time_point learnt;
};
