#pragma once

#include <chrono>
#include <ostream>
#include <string>

// ProgressLine shows how far a long job has come on a terminal: one line,
// written over in place at most ten times a second, and wiped before
// anything else is printed and at the end. Where output is not a
// terminal it shows nothing.
class ProgressLine {
public:
    ProgressLine(std::ostream& out, bool terminal);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    // Wipes the line.
    ~ProgressLine();

    // Shows `text`, unless the line was written less than a tenth of a
    // second ago; `now` shows it whatever the time.
    void show(const std::string& text, bool now = false);
    // Wipes the line, for other output.
    void wipe();
    // Returns the rate of `count` since the line was made, per second.
    long long perSecond(long long count) const;

private:
    std::ostream& out;
    bool terminal;
    bool shown = false;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point written;
};
