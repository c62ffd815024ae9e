#pragma once

#include <cstddef>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/CoutRedirect.h"

// CoutCapture is a fixture that collects everything written to std::cout
// during a test, so the system's console output can be compared to the byte,
// and remembers where the stream was flushed.
class CoutCapture : public ::testing::Test {
protected:
    // Returns what was written since the last call and starts afresh.
    std::string output() {
        std::string text = captured.str();
        captured.str("");
        captured.flushes.clear();
        return text;
    }

    // Returns true when, since the last output(), the stream was flushed right
    // after every line end and nowhere else.
    bool everyLineFlushed() const {
        const std::string text = captured.str();
        std::vector<std::size_t> lineEnds;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] == '\n') {
                lineEnds.push_back(at + 1);
            }
        }
        return lineEnds == captured.flushes;
    }

private:
    struct FlushRecorder : std::stringbuf {
        std::vector<std::size_t> flushes;
        int sync() override {
            flushes.push_back(str().size());
            return 0;
        }
    };

    FlushRecorder captured;
    CoutRedirect redirect{&captured};
};
