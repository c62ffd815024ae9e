#include "web/ConnectionLimits.h"

#include <utility>

ConnectionLimits::Slot::Slot(ConnectionLimits& limits, std::string address)
    : limits(&limits), address(std::move(address)) {}

ConnectionLimits::Slot::Slot(Slot&& other) noexcept
    : limits(std::exchange(other.limits, nullptr)), address(std::move(other.address)) {}

ConnectionLimits::Slot::~Slot() {
    if (limits != nullptr) {
        limits->release(address);
    }
}

std::optional<ConnectionLimits::Slot> ConnectionLimits::admit(const std::string& address) {
    std::size_t& fromThere = perAddress[address];
    if (total >= inAll || fromThere >= fromOneAddress) {
        if (fromThere == 0) {
            perAddress.erase(address);
        }
        return std::nullopt;
    }
    Slot slot(*this, address);
    ++fromThere;
    ++total;
    return slot;
}

void ConnectionLimits::release(const std::string& address) {
    --total;
    const auto found = perAddress.find(address);
    if (found != perAddress.end() && --found->second == 0) {
        perAddress.erase(found);
    }
}
