#pragma once

#include <string>

#include "console/LineReader.h"
#include "console/StopSignals.h"

// FdLineReader reads lines from a file descriptor as a script pipes them: no
// prompt, no editing. A stop signal ends the reading between two lines, and
// a read that fails is told apart from the end of the input.
class FdLineReader final : public LineReader {
public:
    FdLineReader(int descriptor, StopSignals& signals);

    Input next() override;
    bool interactive() const override;

private:
    // Reads more bytes into `pending`; returns false at the end or on a failure.
    bool fill(Input& stop);

    int descriptor;
    StopSignals& signals;
    std::string pending;
    bool ended = false;
};
