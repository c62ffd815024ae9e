#include "web/HostNames.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <ifaddrs.h>
#include <memory>
#include <netinet/in.h>
#include <utility>

namespace {

std::string lowered(std::string_view text) {
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(),
                   [](unsigned char letter) { return static_cast<char>(std::tolower(letter)); });
    return low;
}

bool isWildcard(const std::string& address) { return address == "0.0.0.0" || address == "::"; }

// Returns an address as a Host names it: IPv6 in brackets.
std::string hostForm(const std::string& address) {
    return address.find(':') == std::string::npos ? address : "[" + address + "]";
}

// Returns every address of the machine's own interfaces.
std::vector<std::string> interfaceAddresses() {
    std::vector<std::string> found;
    ifaddrs* first = nullptr;
    if (getifaddrs(&first) != 0) {
        return found;
    }
    const std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owned(first, freeifaddrs);
    for (const ifaddrs* at = first; at != nullptr; at = at->ifa_next) {
        char text[INET6_ADDRSTRLEN] = {};
        if (at->ifa_addr == nullptr) {
            continue;
        }
        if (at->ifa_addr->sa_family == AF_INET) {
            const auto* ip = reinterpret_cast<const sockaddr_in*>(at->ifa_addr);
            inet_ntop(AF_INET, &ip->sin_addr, text, sizeof text);
        } else if (at->ifa_addr->sa_family == AF_INET6) {
            const auto* ip = reinterpret_cast<const sockaddr_in6*>(at->ifa_addr);
            inet_ntop(AF_INET6, &ip->sin6_addr, text, sizeof text);
        } else {
            continue;
        }
        found.emplace_back(text);
    }
    return found;
}

}  // namespace

HostNames::HostNames(std::string listenAddress, unsigned short port, bool secure,
                     std::vector<std::string> names)
    : listenAddress(std::move(listenAddress)), port(port), secure(secure), names(std::move(names)) {
    learn();
}

bool HostNames::allowsHost(std::string_view host) {
    const std::string asked = lowered(host);
    if (allowed.count(asked) != 0) {
        return true;
    }
    // A wildcard till may have been given a new address since; looked up
    // again at most once a second, so that a stranger's guesses cost little.
    const auto now = std::chrono::steady_clock::now();
    if (isWildcard(listenAddress) && now - learnt >= std::chrono::seconds(1)) {
        learn();
        return allowed.count(asked) != 0;
    }
    return false;
}

bool HostNames::allowsOrigin(std::string_view origin) {
    const std::string_view scheme = secure ? "https://" : "http://";
    return origin.substr(0, scheme.size()) == scheme && allowsHost(origin.substr(scheme.size()));
}

std::optional<WebAnswer> HostNames::refusal(const WebRequest& request) {
    if (!allowsHost(request.host)) {
        return WebAnswer::refusal(421,
                                  "this till does not answer to the name '" + request.host + "'");
    }
    if (request.origin && !allowsOrigin(*request.origin)) {
        return WebAnswer::refusal(403, "the request comes from another site");
    }
    return std::nullopt;
}

void HostNames::learn() {
    allowed.clear();
    learnt = std::chrono::steady_clock::now();
    for (const char* loopback : {"localhost", "127.0.0.1", "[::1]"}) {
        add(loopback);
    }
    for (const std::string& name : names) {
        add(name);
    }
    if (!isWildcard(listenAddress)) {
        add(hostForm(listenAddress));
        return;
    }
    for (const std::string& address : interfaceAddresses()) {
        add(hostForm(address));
    }
}

// Browsers leave the scheme's own port out of Host, and a client by hand
// may leave out any: it is the name that a rebinding page cannot fake.
void HostNames::add(std::string name) {
    name = lowered(name);
    allowed.insert(name);
    allowed.insert(name + ":" + std::to_string(port));
}
