#include "console/ProgressLine.h"

namespace {

// Back to the line's start, and everything to its end wiped.
const char* const overwrite = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool terminal)
    : out(out), terminal(terminal), started(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() { wipe(); }

void ProgressLine::show(const std::string& text, bool now) {
    const auto at = std::chrono::steady_clock::now();
    if (!terminal || (!now && shown && at - written < std::chrono::milliseconds(100))) {
        return;
    }
    out << overwrite << text << std::flush;
    shown = true;
    written = at;
}

void ProgressLine::wipe() {
    if (shown) {
        out << overwrite << std::flush;
        shown = false;
    }
}

long long ProgressLine::perSecond(long long count) const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - started)
                             .count();
    return elapsed == 0 ? 0 : count * 1000 / elapsed;
}
