#include "console/FdLineReader.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

FdLineReader::FdLineReader(int descriptor, StopSignals& signals)
    : descriptor(descriptor), signals(signals) {}

LineReader::Input FdLineReader::next() {
    Input input;
    while (true) {
        if (const int signal = signals.take(); signal != 0) {
            return {Input::Kind::stopped, "", signal};
        }
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            input = {Input::Kind::line, pending.substr(0, end), 0};
            pending.erase(0, end + 1);
            return input;
        }
        if (ended) {
            if (pending.empty()) {
                return {Input::Kind::end, "", 0};
            }
            input = {Input::Kind::line, pending, 0};
            pending.clear();
            return input;
        }
        if (!fill(input)) {
            return input;
        }
    }
}

bool FdLineReader::fill(Input& stop) {
    if (!signals.waitForInput(descriptor)) {
        return true;  // next() takes the signal
    }
    char buffer[4096];
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
        pending.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
        ended = true;
    } else if (errno != EINTR && errno != EAGAIN) {
        stop = {Input::Kind::failed, std::strerror(errno), 0};
        return false;
    }
    return true;
}

bool FdLineReader::interactive() const { return false; }
