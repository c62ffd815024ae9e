#include "app/LiveChanges.h"

#include <iostream>

#include "control/ControlClient.h"
#include "control/ControlPath.h"

#include "app/TillStart.h"

namespace {

constexpr int badUsage = 2;

}  // namespace

std::optional<int> changedByTheTill(const std::string& journalFile, const nlohmann::json& request) {
    const std::optional<nlohmann::json> answer =
        ControlClient::ask(journalPathOf(journalFile), request);
    if (!answer) {
        return std::nullopt;
    }
    return ControlClient::told(*answer);
}

std::unique_ptr<ControlSocket> listenForChanges(DayService& service,
                                                const std::string& journalPath) {
    try {
        return std::make_unique<ControlSocket>(service, ControlPath::of(journalPath));
    } catch (const std::exception& failure) {
        std::cerr << "restaurant: changes during service are off: " << failure.what() << std::endl;
        return nullptr;
    }
}

int markSoldOut(const std::vector<std::string>& words, const std::string& journalFile, bool out) {
    const char* command = out ? "sold-out" : "available";
    if (words.size() < 2) {
        std::cerr << "restaurant: " << command
                  << " needs the item's kind and its number or name, for example: restaurant "
                  << command << " dish 3" << std::endl;
        return badUsage;
    }
    std::string item;
    for (std::size_t at = 1; at < words.size(); ++at) {
        item += (at == 1 ? "" : " ") + words[at];
    }
    const nlohmann::json request = {{"command", command}, {"kind", words[0]}, {"item", item}};
    if (const std::optional<int> status = changedByTheTill(journalFile, request)) {
        return *status;
    }
    std::cerr << "restaurant: no till serves " << journalPathOf(journalFile)
              << ": an item is sold out for the day being served; start the till first"
              << std::endl;
    return 1;
}
