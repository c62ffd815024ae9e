#include "kitchen/EscPos.h"

#include <array>
#include <iconv.h>
#include <uninorm.h>
#include <unistr.h>
#include <utility>
#include <vector>

#include "base/LocalTime.h"

namespace {

// The code pages a printer may be set to, with the number ESC t selects
// each by on the usual printers.
constexpr std::array<std::pair<std::string_view, char>, 5> pages{
    {{"CP437", 0}, {"CP850", 2}, {"CP858", 19}, {"CP1252", 16}, {"CP866", 17}}};

std::string tableOf(const KitchenTicket& ticket) {
    return ticket.label.empty() ? "Counter" : "Table " + ticket.label;
}

std::string headingOf(const KitchenTicket& ticket) {
    if (ticket.heading == "FIRE") {
        return "FIRE course " + std::to_string(ticket.course);
    }
    if (ticket.heading == "MOVED") {
        return "MOVED to " + (ticket.movedTo.empty() ? std::string("counter") : ticket.movedTo);
    }
    return ticket.heading;
}

}  // namespace

struct EscPos::Converter {
    iconv_t to = reinterpret_cast<iconv_t>(-1);  // NOLINT: iconv's own failure value
};

EscPos::EscPos(const std::string& codePage) : converter(std::make_unique<Converter>()) {
    std::string name = "CP437";
    for (const auto& [known, number] : pages) {
        if (known == codePage) {
            name = std::string(known);
            page = number;
        }
    }
    converter->to = iconv_open(name.c_str(), "UTF-32LE");
}

EscPos::~EscPos() {
    if (converter->to != reinterpret_cast<iconv_t>(-1)) {  // NOLINT: iconv's own failure value
        iconv_close(converter->to);
    }
}

int EscPos::byteOf(char32_t character) const {
    if (converter->to == reinterpret_cast<iconv_t>(-1)) {  // NOLINT: iconv's own failure value
        return -1;
    }
    std::array<unsigned char, 4> in{static_cast<unsigned char>(character & 0xff),
                                    static_cast<unsigned char>(character >> 8 & 0xff),
                                    static_cast<unsigned char>(character >> 16 & 0xff), 0};
    std::array<char, 8> out{};
    char* from = reinterpret_cast<char*>(in.data());
    char* to = out.data();
    std::size_t left = in.size();
    std::size_t room = out.size();
    iconv(converter->to, nullptr, nullptr, nullptr, nullptr);
    const std::size_t done = iconv(converter->to, &from, &left, &to, &room);
    if (done == static_cast<std::size_t>(-1) || out.size() - room != 1) {
        return -1;
    }
    return static_cast<unsigned char>(out[0]);
}

// A character the code page lacks prints as its letter without accents,
// when it has one the page holds, else as '?'.
std::string EscPos::encoded(std::string_view utf8) const {
    std::string out;
    const auto* at = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto* end = at + utf8.size();
    while (at < end) {
        ucs4_t character = 0;
        at += u8_mbtouc(&character, at, static_cast<std::size_t>(end - at));
        if (character >= 0x20 && character < 0x7f) {
            out += static_cast<char>(character);
            continue;
        }
        int byte = character < 0x20 || character == 0x7f ? '?' : byteOf(character);
        if (byte < 0) {
            std::array<ucs4_t, 8> parts{};
            std::size_t length = parts.size();
            if (u32_normalize(UNINORM_NFD, &character, 1, parts.data(), &length) != nullptr &&
                length > 0) {
                byte = parts[0] >= 0x20 && parts[0] < 0x7f ? static_cast<int>(parts[0])
                                                           : byteOf(parts[0]);
            }
        }
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

std::string EscPos::ticket(const PrintJob& job) const {
    std::string bytes(start);
    bytes += "\x1bt";
    bytes += page;
    if (job.copy || job.started) {
        bytes.append(boldOn).append("COPY").append(boldOff) += '\n';
    }
    bytes += doubleSize;
    if (!job.ticket.heading.empty()) {
        bytes += encoded(headingOf(job.ticket)) + '\n';
    }
    bytes += encoded(tableOf(job.ticket)) + '\n';
    bytes += normalSize;
    bytes +=
        encoded("Ticket " + std::to_string(job.ticket.number) + "  " + job.ticket.station) + '\n';
    std::string who = localTime(job.ticket.at, "%H:%M");
    if (!job.ticket.staff.empty()) {
        who += "  " + job.ticket.staff;
    }
    bytes += encoded(who) + "\n--------------------------------\n";
    bytes += lines(job);
    bytes += feedAndCut;
    return bytes;
}

// Equal items without a note share a line, "2 x Steak"; an item with a
// note is a line of its own, the note under it.
std::string EscPos::lines(const PrintJob& job) const {
    std::string bytes;
    for (std::size_t at = 0; at < job.lines.size();) {
        const TicketLine& line = job.lines[at];
        std::size_t count = 1;
        while (line.note.empty() && at + count < job.lines.size() &&
               job.lines[at + count].name == line.name && job.lines[at + count].note.empty() &&
               job.lines[at + count].held == line.held) {
            ++count;
        }
        bytes +=
            encoded(std::to_string(count) + " x " + line.name + (line.held ? "  (held)" : "")) +
            '\n';
        if (!line.note.empty()) {
            bytes += encoded("   > " + line.note) + '\n';
        }
        at += count;
    }
    return bytes;
}
