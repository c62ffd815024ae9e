#include "base/LocalTime.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::tm localParts(Moment moment) {
    const auto seconds = static_cast<std::time_t>(moment);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

}  // namespace

std::string localTime(Moment moment, const char* format) {
    const std::tm parts = localParts(moment);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, length);
}

std::string isoTime(Moment moment) {
    const std::tm parts = localParts(moment);
    const long offset = parts.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    char zone[48];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return localTime(moment, "%Y-%m-%dT%H:%M:%S") + zone;
}

Moment startOfLocalHour(Moment moment) {
    const std::tm parts = localParts(moment);
    return moment - (parts.tm_min * 60 + parts.tm_sec);
}

Moment nextLocalHour(Moment hour) {
    const Moment next = startOfLocalHour(hour + 3600);
    return next > hour ? next : hour + 3600;
}
