#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// FuzzInput hands out a fuzzer's bytes as the values a test case needs; once
// the bytes run out it hands out zeroes.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool empty() const { return at >= size; }
    std::uint8_t byte() { return at < size ? data[at++] : 0; }

    // Returns a serial number, most often one at or just past the edges.
    int serialNumber(std::size_t items) {
        switch (byte() % 9) {
            case 0:
                return 0;
            case 1:
                return -1;
            case 2:
                return static_cast<int>(items);
            case 3:
                return static_cast<int>(items) + 1;
            case 4:
                return INT_MIN;
            case 5:
                return INT_MAX;
            case 6:
                return 1;
            case 7:
                return INT_MIN + 1;
            default:
                return static_cast<std::int8_t>(byte());
        }
    }

    // Returns an amount of money, sometimes a special one.
    double money() {
        switch (byte() % 8) {
            case 0:
                return 0.0;
            case 1:
                return -1.5;
            case 2:
                return 1234567.5;
            case 3:
                return 0.1;
            default:
                return byte() / 4.0;
        }
    }

    std::string text(std::size_t longest) {
        std::string result(byte() % (longest + 1), ' ');
        for (char& c : result) {
            c = static_cast<char>(byte() % 95 + 32);
        }
        return result;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

// Stops the run with a message when the system and its model disagree.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
