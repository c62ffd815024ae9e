#pragma once

#include <cstddef>
#include <streambuf>
#include <string>

// CaptureBuffer collects a stream's output in a fixed array, so capturing
// never allocates: an injected allocation failure cannot hit the capture.
class CaptureBuffer : public std::streambuf {
public:
    CaptureBuffer() { clear(); }

    std::string text() const { return std::string(pbase(), pptr()); }
    void clear() { setp(buffer, buffer + sizeof buffer); }

private:
    char buffer[1 << 16];
};
