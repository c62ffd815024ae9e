#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <variant>
#include <vector>

#include "base/StaffRole.h"
#include "journal/Journal.h"
#include "web/PinChecks.h"
#include "web/Sessions.h"
#include "web/SignInGate.h"
#include "web/WebExchange.h"

// SignIn checks a member of staff's name and PIN and opens their session.
// The PIN is checked on a pool off the server's thread; an unknown name costs
// what a wrong PIN costs; guesses are held by the gate's limits. Names
// compare as names do: case, accents and spaces at either end aside.
class SignIn {
public:
    using Reply = std::function<void(WebAnswer)>;
    using Deliver = std::function<void(std::function<void()>)>;

    using Staff = std::vector<Journal::StaffMember>;
    // Returns the staff as they are now: they change while the till serves.
    using Roster = std::function<std::shared_ptr<const Staff>()>;

    // Answers go home through `deliver`, as the API's answers to changes do.
    SignIn(Roster roster, Sessions& sessions, Deliver deliver);

    // Answers a sign-in: 204 with the session's cookie, 400, 401 or 429.
    void attempt(const WebRequest& request, const nlohmann::json& body, Reply reply);
    // Checks a manager's approval, {"staff", "pin"}, as a sign-in is
    // checked, and tells `approved` at home the manager's name, or the
    // refusal: 400, 403 for a name that is no manager's or a wrong PIN, 429.
    using Approved = std::function<void(std::variant<std::string, WebAnswer>)>;
    void approve(const WebRequest& request, const nlohmann::json& approval, Approved approved);
    // Returns the member's role; a manager's when the till has no staff.
    [[nodiscard]] StaffRole roleOf(const std::string& name) const;
    // Whether the till has staff, who must sign in; and whether that name is
    // one of them still.
    [[nodiscard]] bool staffed() const;
    [[nodiscard]] bool onStaff(const std::string& name) const;
    // Returns once no PIN is being checked; those waiting are dropped.
    void settle();

private:
    [[nodiscard]] static const Journal::StaffMember* memberNamed(const Staff& staff,
                                                                 const std::string& asName);
    [[nodiscard]] WebAnswer opened(const std::string& member, bool secure);

    Roster roster;
    Sessions& sessions;
    Deliver deliver;
    SignInGate gate;
    // Last, so that its threads stop before what they use goes.
    PinChecks checks;
};
