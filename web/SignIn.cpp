#include "web/SignIn.h"

#include <utility>

#include "base/Text.h"
#include "web/BodyFields.h"

namespace {

WebAnswer wrong() { return WebAnswer::refusal(401, "wrong name or PIN"); }

}  // namespace

SignIn::SignIn(Roster roster, Sessions& sessions, Deliver deliver)
    : roster(std::move(roster)), sessions(sessions), deliver(std::move(deliver)) {}

// An unknown name's PIN is checked against a real hash all the same, and its
// answer thrown away, so that the time taken tells no name.
void SignIn::attempt(const WebRequest& request, const nlohmann::json& body, Reply reply) {
    BodyFields fields(body);
    const std::string name =
        foldedName(fields.text("staff", "", "give the staff member's name as text"));
    std::string pin = fields.text("pin", "", "give the PIN as text");
    if (fields.fault()) {
        reply(WebAnswer::refusal(400, *fields.fault()));
        return;
    }
    if (const std::optional<Moment> wait = gate.tryAt(sessions.now(), request.peer, name)) {
        WebAnswer limited = WebAnswer::refusal(
            429, "too many wrong PINs: try again in " + std::to_string(*wait) + " s");
        limited.headers.emplace_back("Retry-After", std::to_string(*wait));
        reply(std::move(limited));
        return;
    }
    const std::shared_ptr<const Staff> staff = roster();
    const Journal::StaffMember* member = memberNamed(*staff, name);
    if (staff->empty()) {
        reply(wrong());
        return;
    }
    // The reply holds the device's connection, which only the server's
    // thread may let go: it moves home with the answer, and the pool's
    // thread keeps no copy.
    checks.check((member != nullptr ? *member : staff->front()).pinHash, std::move(pin),
                 [this, reply = std::move(reply), peer = request.peer, name,
                  known = member != nullptr ? member->name : std::string(),
                  secure = request.secure](bool matches) mutable {
                     deliver([this, reply = std::move(reply), peer, name, known, secure, matches] {
                         if (!matches || known.empty()) {
                             reply(wrong());
                             return;
                         }
                         gate.succeeded(sessions.now(), peer, name);
                         reply(opened(known, secure));
                     });
                 });
}

void SignIn::settle() { checks.settle(); }

bool SignIn::staffed() const { return !roster()->empty(); }

bool SignIn::onStaff(const std::string& name) const {
    return memberNamed(*roster(), foldedName(name)) != nullptr;
}

StaffRole SignIn::roleOf(const std::string& name) const {
    const std::shared_ptr<const Staff> staff = roster();
    if (staff->empty()) {
        return StaffRole::manager;
    }
    const Journal::StaffMember* member = memberNamed(*staff, foldedName(name));
    return member == nullptr ? StaffRole::waiter
                             : roleNamed(member->role).value_or(StaffRole::waiter);
}

// A waiter's device asks a manager to type their PIN on it: checked as a
// sign-in is, and held by the same limits.
void SignIn::approve(const WebRequest& request, const nlohmann::json& approval, Approved approved) {
    BodyFields fields(approval);
    const std::string name = foldedName(fields.text("staff", "", "give the manager's name"));
    std::string pin = fields.text("pin", "", "give the manager's PIN as text");
    const std::shared_ptr<const Staff> staff = roster();
    if (fields.fault() || staff->empty()) {
        approved(WebAnswer::refusal(400, fields.fault().value_or("this till has no managers")));
        return;
    }
    if (const std::optional<Moment> wait = gate.tryAt(sessions.now(), request.peer, name)) {
        approved(WebAnswer::refusal(
            429, "too many wrong PINs: try again in " + std::to_string(*wait) + " s"));
        return;
    }
    const Journal::StaffMember* member = memberNamed(*staff, name);
    const bool manager = member != nullptr && member->role == "manager";
    checks.check((member != nullptr ? *member : staff->front()).pinHash, std::move(pin),
                 [this, approved = std::move(approved), peer = request.peer, name,
                  known = manager ? member->name : std::string()](bool matches) mutable {
                     deliver([this, approved = std::move(approved), peer, name, known, matches] {
                         if (!matches || known.empty()) {
                             approved(WebAnswer::refusal(
                                 403, "the approval needs a manager's name and PIN"));
                             return;
                         }
                         gate.succeeded(sessions.now(), peer, name);
                         approved(known);
                     });
                 });
}

const Journal::StaffMember* SignIn::memberNamed(const Staff& staff, const std::string& name) {
    for (const Journal::StaffMember& member : staff) {
        if (!name.empty() && foldedName(member.name) == name) {
            return &member;
        }
    }
    return nullptr;
}

WebAnswer SignIn::opened(const std::string& member, bool secure) {
    WebAnswer answer{204, "application/json", "", {}, false};
    answer.headers.emplace_back("Set-Cookie", "session=" + sessions.open(member) +
                                                  "; HttpOnly; SameSite=Strict; Path=/" +
                                                  (secure ? "; Secure" : ""));
    return answer;
}
