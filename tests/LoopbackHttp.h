#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <iterator>
#include <string>

// One HTTP request to a till on loopback, on a connection of its own,
// answered within 10 s or never: its status (0 when no answer came) and
// body.
struct LoopbackAnswer {
    int status = 0;
    std::string body;
};

inline LoopbackAnswer askLoopback(unsigned short port, const std::string& method,
                                  const std::string& target, const std::string& body = "",
                                  const std::string& key = "") {
    boost::asio::ip::tcp::iostream stream("127.0.0.1", std::to_string(port));
    stream.expires_after(std::chrono::seconds(10));
    stream << method << " " << target
           << " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
           << (key.empty() ? "" : "Idempotency-Key: " + key + "\r\n")
           << "Content-Length: " << body.size() << "\r\nConnection: close\r\n\r\n"
           << body << std::flush;
    LoopbackAnswer answer;
    std::string line;
    if (!std::getline(stream, line) || line.size() < 12) {
        return answer;
    }
    answer.status = std::stoi(line.substr(9, 3));
    while (std::getline(stream, line) && line != "\r") {
    }
    answer.body.assign(std::istreambuf_iterator<char>(stream), {});
    return answer;
}
