#pragma once

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>

// CoutCapture is a fixture that collects everything written to std::cout
// during a test, so the system's console output can be compared to the byte.
class CoutCapture : public ::testing::Test {
protected:
    void SetUp() override { saved = std::cout.rdbuf(captured.rdbuf()); }
    void TearDown() override { std::cout.rdbuf(saved); }

    // Returns what was written since the last call and starts afresh.
    std::string output() {
        std::string text = captured.str();
        captured.str("");
        return text;
    }

private:
    std::ostringstream captured;
    std::streambuf* saved = nullptr;
};
