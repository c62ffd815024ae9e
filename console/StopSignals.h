#pragma once

#include <csignal>

// StopSignals holds SIGHUP, SIGTERM and SIGINT back while the till carries
// out a command and lets them in only while it waits for input, so that a
// command is done whole or not at all however the till is asked to stop.
// One lives for the till's whole run; the signals' former handling comes
// back when it goes.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals();

    // Lets the signals in and back out, so that any held back is taken;
    // returns the signal that came last, or 0, and forgets it.
    int take();
    // Waits until `descriptor` can be read, with the signals let in; returns
    // false when a signal came first (take() tells which).
    bool waitForInput(int descriptor);
    // Lets the signals in for as long as it lives, for a library that waits
    // for input itself.
    class LetIn {
    public:
        explicit LetIn(StopSignals& signals);
        LetIn(const LetIn&) = delete;
        LetIn& operator=(const LetIn&) = delete;
        ~LetIn();

    private:
        StopSignals& signals;
    };

private:
    sigset_t held;
    sigset_t before;
    struct sigaction former[3];
};
