#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <string>

// LoopbackDevice is one device of the web till in a benchmark: a connection
// kept alive on loopback that adds a drink to a table's order, or takes it
// off again, in turn, so that the order stays small.
class LoopbackDevice {
public:
    explicit LoopbackDevice(unsigned short port);

    // Sends the command of round `at` for the table's order and reads its
    // answer whole; returns the answer's status.
    int command(const std::string& table, long at);

private:
    int readAnswer();

    boost::asio::ip::tcp::iostream stream;
};
