#include "base/SaleId.h"

#include <array>
#include <cstdint>
#include <random>

std::string newSaleId() {
    static std::random_device entropy;
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        const std::uint32_t word = entropy();
        for (std::size_t byte = 0; byte < 4; ++byte) {
            bytes[at + byte] = static_cast<std::uint8_t>(word >> (8 * byte));
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0f) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3f) | 0x80);  // RFC 4122 variant
    constexpr char hex[] = "0123456789abcdef";
    std::string id;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (at == 4 || at == 6 || at == 8 || at == 10) {
            id += '-';
        }
        id += hex[bytes[at] >> 4];
        id += hex[bytes[at] & 0x0f];
    }
    return id;
}
