#include "base/Hex.h"

std::string hexOf(const void* bytes, std::size_t size) {
    static constexpr char digits[] = "0123456789abcdef";
    const auto* at = static_cast<const unsigned char*>(bytes);
    std::string hex;
    hex.reserve(2 * size);
    for (std::size_t index = 0; index < size; ++index) {
        hex += digits[at[index] >> 4];
        hex += digits[at[index] & 0xf];
    }
    return hex;
}
