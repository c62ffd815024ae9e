#pragma once

#include <iostream>
#include <streambuf>

// CoutRedirect sends std::cout to another stream buffer for as long as it
// lives, and gives the stream its own buffer back when it goes.
class CoutRedirect {
public:
    explicit CoutRedirect(std::streambuf* to) : saved(std::cout.rdbuf(to)) {}
    CoutRedirect(const CoutRedirect&) = delete;
    CoutRedirect& operator=(const CoutRedirect&) = delete;
    ~CoutRedirect() { std::cout.rdbuf(saved); }

private:
    std::streambuf* saved;
};
