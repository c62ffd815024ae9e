#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <string>

// LoopbackDevice is one device of the web till in a benchmark: a connection
// kept alive on loopback that adds a drink to a table's order, or takes it
// off again by the id its answer gave, in turn, so that the order stays
// small; or reads. Each device numbered has an address of its own, as
// devices on the floor do, so that many fit under the server's cap of
// connections from one address.
class LoopbackDevice {
public:
    explicit LoopbackDevice(unsigned short port, int device = 0);

    // Connects the stream to the port from the device's own loopback
    // address, 127.0.N.M.
    static void connect(boost::asio::ip::tcp::iostream& stream, unsigned short port, int device);

    // Sends the command of round `at` for the table's order and reads its
    // answer whole; returns the answer's status.
    int command(const std::string& table, long at);
    // Reads the target; returns the answer's status.
    int get(const std::string& target);
    // Posts the JSON to the target; returns the answer's status.
    int post(const std::string& target, const std::string& json);
    // Returns the body of the last answer.
    const std::string& answer() const;

private:
    int readAnswer();

    boost::asio::ip::tcp::iostream stream;
    std::string body;
    // The id of the drink the last add put in, for the next round to take off.
    std::string added;
};
