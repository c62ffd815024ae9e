#include "journal/JournalPath.h"

#include <cstdlib>

#include "journal/Journal.h"

namespace {

// An unset variable and an empty one are the same.
std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

std::string defaultJournalPath() {
    std::string given = variable("RESTAURANT_JOURNAL");
    if (!given.empty()) {
        return given;
    }
    // XDG asks that a relative XDG_DATA_HOME be ignored.
    const std::string data = variable("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/') {
        return data + "/restaurant/journal.db";
    }
    const std::string home = variable("HOME");
    if (!home.empty()) {
        return home + "/.local/share/restaurant/journal.db";
    }
    throw JournalError(
        "there is no place for the journal: set RESTAURANT_JOURNAL or HOME, or give --journal "
        "FILE");
}
