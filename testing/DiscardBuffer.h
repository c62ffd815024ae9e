#pragma once

#include <ios>
#include <streambuf>

// DiscardBuffer is a stream buffer that drops everything written to it and
// never allocates, so output can be silenced where allocations are counted or
// made to fail.
class DiscardBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};
