#include "control/ControlRequests.h"

#include <memory>
#include <utility>

#include "base/ItemKind.h"
#include "base/StaffRole.h"
#include "base/Text.h"
#include "journal/Settings.h"

namespace {

using nlohmann::json;

std::string textIn(const json& request, const char* name) {
    const auto found = request.find(name);
    return found != request.end() && found->is_string() ? found->get<std::string>() : "";
}

json done(const std::string& said) { return {{"ok", true}, {"said", said}}; }

}  // namespace

ControlRequests::ControlRequests(DayService& service) : service(service) {}

json ControlRequests::refused(const std::string& why) { return {{"ok", false}, {"error", why}}; }

json ControlRequests::handle(const json& request, uid_t uid) {
    const std::string command = request.is_object() ? textIn(request, "command") : "";
    const std::string who = "admin:" + std::to_string(uid);
    if (command == "sold-out" || command == "available") {
        return soldOut(request, who);
    }
    if (command == "menu") {
        return menu(request, who);
    }
    if (command == "staff-add" || command == "staff-remove") {
        return staff(request, who);
    }
    if (command == "setting") {
        return setting(request, who);
    }
    return refused("the till knows no such request");
}

json ControlRequests::soldOut(const json& request, const std::string& who) {
    const std::optional<ItemKind> kind = kindNamed(textIn(request, "kind"));
    const std::string item = textIn(request, "item");
    if (!kind || item.empty()) {
        return refused("name the item by kind (dish, snack or drink) and number or name");
    }
    ItemChoice choice;
    if (isAllDigits(item) && item.size() <= 9) {
        choice.number = std::stoll(item);
    } else {
        choice.name = item;
    }
    const bool out = textIn(request, "command") == "sold-out";
    const Told told = service.carryOut(MarkSoldOut{*kind, choice, out}, who);
    if (!told.result) {
        return refused(told.refusal && !told.refusal->names.empty()
                           ? "'" + item + "' could be more than one " + std::string(kindWord(*kind))
                           : "there is no such " + std::string(kindWord(*kind)) + " on the menu");
    }
    const SoldOutMarked& marked = std::get<SoldOutMarked>(*told.result);
    return done(marked.name + (out ? " is sold out until the day closes" : " is to be had again"));
}

json ControlRequests::menu(const json& request, const std::string& who) {
    std::optional<Menu> menu = menuOf(request.value("items", json()));
    if (!menu || menu->size() == 0) {
        return refused("the request carries no menu");
    }
    const std::size_t items = menu->size();
    auto stored = std::make_shared<Journal::StoredMenu>();
    stored->menu = std::move(*menu);
    stored->file = textIn(request, "file");
    stored->importedAt = DayService::systemClock();
    const Told told = service.carryOut(ReplaceMenu{std::move(stored)}, who);
    if (!told.result) {
        return refused(told.refusal ? told.refusal->text : "the till could not take the menu");
    }
    return done("The till sells from the new menu, version " +
                std::to_string(std::get<Administered>(*told.result).menuVersion) + ", of " +
                std::to_string(items) + " items: items ordered before keep their prices");
}

// A member added again keeps their role unless the request names one.
json ControlRequests::staff(const json& request, const std::string& who) {
    ChangeStaff change;
    change.member.name = textIn(request, "name");
    change.remove = textIn(request, "command") == "staff-remove";
    const std::shared_ptr<const std::vector<Journal::StaffMember>> now = service.snapshot()->staff;
    const Journal::StaffMember* found = nullptr;
    for (const Journal::StaffMember& member : now ? *now : std::vector<Journal::StaffMember>()) {
        found = foldedName(member.name) == foldedName(change.member.name) ? &member : found;
    }
    if (change.remove && found == nullptr) {
        return refused("there is no " + change.member.name + " on the staff");
    }
    const std::string role = textIn(request, "role");
    if (!role.empty() && !roleNamed(role)) {
        return refused("a role is waiter, manager or kitchen");
    }
    change.member.role = !role.empty() ? role : found != nullptr ? found->role : "waiter";
    change.member.pinHash = textIn(request, "pin_hash");
    if (change.member.name.empty() || (!change.remove && change.member.pinHash.empty())) {
        return refused("name the member of staff, with their PIN's hash");
    }
    if (!service.carryOut(change, who).result) {
        return refused("the till could not change the staff");
    }
    return done(change.remove ? "Removed " + change.member.name + " from the staff"
                              : "Added " + change.member.name + " to the staff" +
                                    (role.empty() ? "" : " as " + role));
}

json ControlRequests::setting(const json& request, const std::string& who) {
    const std::string key = textIn(request, "key");
    const std::string value = textIn(request, "value");
    if (!Settings::known(key)) {
        return refused("there is no setting '" + key + "'");
    }
    if (const std::optional<std::string> problem = Settings::problemWith(key, value)) {
        return refused(*problem);
    }
    if (!service.carryOut(ChangeSetting{key, value}, who).result) {
        return refused("the till could not change the setting");
    }
    return done("Set " + key + " to '" + value + "' in the till that serves");
}

json ControlRequests::rowsOf(const Menu& menu) {
    json rows = json::array();
    for (ItemKind kind : itemKinds) {
        for (const MenuItem& item : menu.of(kind)) {
            rows.push_back({{"kind", std::string(kindWord(kind))},
                            {"name", item.name},
                            {"price_cents", item.price.cents()},
                            {"cost_cents", item.cost.cents()},
                            {"vat", item.vat ? json(*item.vat) : json()},
                            {"course", item.course ? json(*item.course) : json()},
                            {"station", item.station ? json(*item.station) : json()}});
        }
    }
    return rows;
}

std::optional<Menu> ControlRequests::menuOf(const json& rows) {
    if (!rows.is_array()) {
        return std::nullopt;
    }
    Menu menu;
    for (const json& row : rows) {
        const std::optional<ItemKind> kind =
            row.is_object() ? kindNamed(row.value("kind", "")) : std::nullopt;
        if (!kind || !row.value("name", json()).is_string() ||
            !row.value("price_cents", json()).is_number_integer() ||
            !row.value("cost_cents", json()).is_number_integer()) {
            return std::nullopt;
        }
        MenuItem item{*kind, row["name"], Money::fromCents(row["price_cents"]),
                      Money::fromCents(row["cost_cents"])};
        if (row.value("vat", json()).is_number_integer()) {
            item.vat = row["vat"].get<std::int64_t>();
        }
        if (row.value("course", json()).is_number_integer()) {
            item.course = row["course"].get<std::int64_t>();
        }
        if (row.value("station", json()).is_string()) {
            item.station = row["station"].get<std::string>();
        }
        menu.add(std::move(item));
    }
    return menu;
}
