#include "bench/LoopbackDevice.h"

#include <nlohmann/json.hpp>

using boost::asio::ip::tcp;

LoopbackDevice::LoopbackDevice(unsigned short port, int device) {
    connect(stream, port, device);
    stream.socket().set_option(tcp::no_delay(true));
}

void LoopbackDevice::connect(tcp::iostream& stream, unsigned short port, int device) {
    const auto loopback = boost::asio::ip::address_v4::loopback().to_uint();
    const auto own = static_cast<unsigned>(device);
    stream.socket().open(tcp::v4());
    stream.socket().bind(
        {boost::asio::ip::address_v4(loopback + ((1 + own / 250) << 8) + own % 250), 0});
    stream.socket().connect({boost::asio::ip::address_v4::loopback(), port});
}

int LoopbackDevice::command(const std::string& table, long at) {
    const bool add = at % 2 == 0 || added.empty();
    const std::string sent = add ? R"({"kind":"drink","item":1})" : "";
    stream << (add ? "POST /api/orders/" + table + "/items"
                   : "DELETE /api/orders/" + table + "/items/" + added) +
                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                  "Content-Length: " +
                  std::to_string(sent.size()) + "\r\n\r\n" + sent
           << std::flush;
    const int status = readAnswer();
    added.clear();
    if (add && status == 200) {
        const nlohmann::json order = nlohmann::json::parse(body, nullptr, false);
        if (order.is_object() && !order["items"].empty()) {
            added = order["items"].back()["id"];
        }
    }
    return status;
}

int LoopbackDevice::get(const std::string& target) {
    stream << "GET " << target << " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" << std::flush;
    return readAnswer();
}

int LoopbackDevice::post(const std::string& target, const std::string& json) {
    stream << "POST " << target
           << " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
              "Content-Length: "
           << json.size() << "\r\n\r\n"
           << json << std::flush;
    return readAnswer();
}

const std::string& LoopbackDevice::answer() const { return body; }

// Reads the answer's head, then its body by length.
int LoopbackDevice::readAnswer() {
    std::string line;
    std::getline(stream, line);
    const int status = line.size() > 12 ? std::stoi(line.substr(9, 3)) : 0;
    std::size_t length = 0;
    while (std::getline(stream, line) && line != "\r") {
        if (line.rfind("Content-Length: ", 0) == 0) {
            length = std::stoul(line.substr(16));
        }
    }
    body.assign(length, '\0');
    stream.read(body.data(), static_cast<std::streamsize>(length));
    return status;
}
