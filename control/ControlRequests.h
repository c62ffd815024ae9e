#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <sys/types.h>

#include "menu/Menu.h"
#include "service/DayService.h"

// ControlRequests turns the owner's requests from the control socket into
// the day's commands, carries them out, and says what came of them:
// {"ok": true, "said": "..."} or {"ok": false, "error": "..."}. Requests
// are {"command": "sold-out" | "available", "kind", "item"}, {"command":
// "menu", "file", "items": [...]}, {"command": "staff-add", "name",
// "pin_hash", "role"?}, {"command": "staff-remove", "name"} and {"command":
// "setting", "key", "value"}. Every change is recorded as the uid's.
class ControlRequests {
public:
    explicit ControlRequests(DayService& service);

    [[nodiscard]] nlohmann::json handle(const nlohmann::json& request, uid_t uid);

    // The menu's items as a request carries them, and back.
    [[nodiscard]] static nlohmann::json rowsOf(const Menu& menu);
    [[nodiscard]] static std::optional<Menu> menuOf(const nlohmann::json& rows);

private:
    nlohmann::json soldOut(const nlohmann::json& request, const std::string& who);
    nlohmann::json menu(const nlohmann::json& request, const std::string& who);
    nlohmann::json staff(const nlohmann::json& request, const std::string& who);
    nlohmann::json setting(const nlohmann::json& request, const std::string& who);
    static nlohmann::json refused(const std::string& why);

    DayService& service;
};
