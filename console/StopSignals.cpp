#include "console/StopSignals.h"

#include <cerrno>
#include <poll.h>

namespace {

constexpr int stopping[] = {SIGHUP, SIGTERM, SIGINT};

volatile std::sig_atomic_t received = 0;

void note(int signal) { received = signal; }

}  // namespace

// Without SA_RESTART, a wait that a signal interrupts returns, so the till
// sees the signal at once.
StopSignals::StopSignals() {
    sigemptyset(&held);
    for (int signal : stopping) {
        sigaddset(&held, signal);
    }
    sigprocmask(SIG_BLOCK, &held, &before);
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int at = 0; at < 3; ++at) {
        sigaction(stopping[at], &action, &former[at]);
    }
    received = 0;
}

StopSignals::~StopSignals() {
    for (int at = 0; at < 3; ++at) {
        sigaction(stopping[at], &former[at], nullptr);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

int StopSignals::take() {
    { LetIn letIn(*this); }
    const int signal = received;
    received = 0;
    return signal;
}

bool StopSignals::waitForInput(int descriptor) {
    sigset_t open = before;
    for (int signal : stopping) {
        sigdelset(&open, signal);
    }
    pollfd ready{descriptor, POLLIN, 0};
    while (received == 0) {
        if (ppoll(&ready, 1, nullptr, &open) > 0) {
            return true;
        }
        if (errno != EINTR) {
            return true;  // the read that follows tells what is wrong
        }
    }
    return false;
}

StopSignals::LetIn::LetIn(StopSignals& signals) : signals(signals) {
    sigprocmask(SIG_UNBLOCK, &signals.held, nullptr);
}

StopSignals::LetIn::~LetIn() { sigprocmask(SIG_BLOCK, &signals.held, nullptr); }
