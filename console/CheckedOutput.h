#pragma once

#include <array>
#include <streambuf>

// CheckedOutput is a stream buffer that writes to a file descriptor and
// keeps the reason of the first write that failed (a full disk, a closed
// pipe), so that a program can say why its output was lost instead of
// ending as if all went well.
class CheckedOutput final : public std::streambuf {
public:
    explicit CheckedOutput(int descriptor);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;
    ~CheckedOutput() override;

    // Returns the errno of the first write that failed, or 0.
    int failure() const;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    int descriptor;
    int error = 0;
    std::array<char, 8192> buffer{};
};
