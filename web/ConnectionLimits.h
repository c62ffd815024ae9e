#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>

// ConnectionLimits caps the connections a server holds, in all and from one
// address, so that no one device, nor a crowd of them, can take every
// descriptor the till has. It lives on the server's thread.
class ConnectionLimits {
public:
    static constexpr std::size_t inAll = 512;
    static constexpr std::size_t fromOneAddress = 64;

    // A connection counted while it lives.
    class Slot {
    public:
        Slot(ConnectionLimits& limits, std::string address);
        Slot(Slot&& other) noexcept;
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        Slot& operator=(Slot&&) = delete;
        ~Slot();

    private:
        ConnectionLimits* limits;
        std::string address;
    };

    // Returns the connection's slot, or nothing when a cap is reached.
    [[nodiscard]] std::optional<Slot> admit(const std::string& address);

private:
    void release(const std::string& address);

    std::size_t total = 0;
    std::map<std::string, std::size_t> perAddress;
};
