#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "journal/KitchenTicket.h"

// EscPos writes a kitchen ticket as the bytes a receipt printer of the
// ESC/POS kind prints: ESC @ to start, the printer's code page chosen, the
// heading and the table in double size, the items and their notes, and a
// cut. Text the code page lacks is transliterated (Crème in a code page
// without è prints Creme) or printed as '?'.
class EscPos {
public:
    // `codePage` is one of Settings::codePages().
    explicit EscPos(const std::string& codePage);
    EscPos(const EscPos&) = delete;
    EscPos& operator=(const EscPos&) = delete;
    ~EscPos();

    // Returns the bytes that print the job; a copy, or a job that was cut
    // off before, is headed COPY.
    [[nodiscard]] std::string ticket(const PrintJob& job) const;
    // Returns the text in the code page's bytes.
    [[nodiscard]] std::string encoded(std::string_view utf8) const;

    // The commands, each a few bytes, NULs counted.
    static constexpr std::string_view start{"\x1b@", 2};
    static constexpr std::string_view doubleSize{"\x1d!\x11", 3};
    static constexpr std::string_view normalSize{"\x1d!\x00", 3};
    static constexpr std::string_view boldOn{
        "\x1b"
        "E\x01",
        3};
    static constexpr std::string_view boldOff{
        "\x1b"
        "E\x00",
        3};
    // Feeds four lines, then cuts the paper.
    static constexpr std::string_view feedAndCut{
        "\x1b"
        "d\x04\x1dV\x42\x00",
        7};

private:
    // Returns the byte of one character in the code page, if it has one.
    [[nodiscard]] int byteOf(char32_t character) const;
    std::string lines(const PrintJob& job) const;

    struct Converter;
    std::unique_ptr<Converter> converter;
    // The ESC t number that selects the code page.
    char page = 0;
};
