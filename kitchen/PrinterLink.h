#pragma once

#include <chrono>
#include <optional>
#include <string>

// PrinterLink carries bytes to one printer: raw over TCP to tcp://HOST:PORT,
// the usual mode of network receipt printers, or written to a device path
// such as /dev/usb/lp0. A raw printer acknowledges nothing: bytes sent are
// all the link can know of. Each wait is bounded, so that a printer that is
// off never holds the till.
class PrinterLink {
public:
    explicit PrinterLink(std::string address);
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;
    ~PrinterLink();

    // Reaches the printer; returns why it could not.
    [[nodiscard]] std::optional<std::string> open(std::chrono::milliseconds within);
    // Sends every byte; returns why it could not.
    [[nodiscard]] std::optional<std::string> send(const std::string& bytes,
                                                  std::chrono::milliseconds within);
    void close();

private:
    std::optional<std::string> connect(const std::string& host, const std::string& port,
                                       std::chrono::milliseconds within);

    std::string address;
    int descriptor = -1;
};
