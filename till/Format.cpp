#include "till/Format.h"

#include <charconv>
#include <ctime>

std::string twoDecimals(double amount) {
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, amount + 0.0, std::chars_format::fixed, 2);
    std::string text = error == std::errc() ? std::string(digits, end) : std::string("?");
    return text == "-0.00" ? "0.00" : text;
}

std::string localTime(Moment moment, const char* format) {
    const auto seconds = static_cast<std::time_t>(moment);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, length);
}

Moment startOfLocalHour(Moment moment) {
    const auto seconds = static_cast<std::time_t>(moment);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return moment - (parts.tm_min * 60 + parts.tm_sec);
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) {
            ++width;
        }
    }
    return width;
}

std::string padRight(const std::string& text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    return used >= width ? text : text + std::string(width - used, ' ');
}

std::string padLeft(const std::string& text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    return used >= width ? text : std::string(width - used, ' ') + text;
}
