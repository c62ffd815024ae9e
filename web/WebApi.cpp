#include "web/WebApi.h"

#include <future>
#include <memory>
#include <utility>

#include "service/RequestKey.h"
#include "web/BodyFields.h"
#include "web/DayJson.h"
#include "web/Page.h"
#include "web/RefusalWords.h"

namespace {

using nlohmann::json;

constexpr std::size_t largestBody = std::size_t{64} * 1024;

}  // namespace

WebApi::WebApi(DayService& service, Journal& history, Sessions& sessions, EventHub& events)
    : service(service),
      sessions(sessions),
      events(events),
      reads(service, history),
      kitchen(history.settings()),
      signIn(
          [this, first = std::make_shared<const SignIn::Staff>(history.staff())] {
              std::shared_ptr<const SignIn::Staff> now = this->service.snapshot()->staff;
              return now ? now : first;
          },
          sessions, [this](std::function<void()> delivery) { deliver(std::move(delivery)); }) {
    service.onPublished([this](std::int64_t version) {
        deliver([this, version] { this->events.changed(version); });
    });
}

// No answer or event is delivered to an API that is gone: once its
// listener is taken away, what the writer still holds of it is finished.
WebApi::~WebApi() {
    service.onPublished({});
    service.settle();
}

void WebApi::handle(const WebRequest& request, Reply reply) { route(request, reply); }

WebAnswer WebApi::handle(const WebRequest& request) {
    auto promised = std::make_shared<std::promise<WebAnswer>>();
    std::future<WebAnswer> answer = promised->get_future();
    handle(request, [promised](WebAnswer given) { promised->set_value(std::move(given)); });
    return answer.get();
}

void WebApi::deliverOn(Home given) {
    MutexLock lock(homeMutex);
    home = std::move(given);
}

void WebApi::settle() {
    signIn.settle();
    service.settle();
}

void WebApi::deliver(std::function<void()> delivery) {
    Home to;
    {
        MutexLock lock(homeMutex);
        to = home;
    }
    if (to) {
        to(std::move(delivery));
    } else {
        delivery();
    }
}

// Reads are answered at once from the day's latest snapshot; changes go to
// the writer, and are answered from there.
void WebApi::route(const WebRequest& request, Reply& reply) {
    const Path path = request.path();
    if (path.empty() || path[0] != "api") {
        reply(page(request));
        return;
    }
    if (std::optional<WebAnswer> unsafe = refusedAsUnsafe(request)) {
        reply(std::move(*unsafe));
        return;
    }
    json body = json::object();
    if (!request.body.empty()) {
        body = json::parse(request.body, nullptr, false);
        if (body.is_discarded() || !body.is_object()) {
            reply(WebAnswer::refusal(400, "the body is not a JSON object"));
            return;
        }
    }
    if (path.size() == 2 && path[1] == "session") {
        session(request, body, reply);
        return;
    }
    const std::optional<std::string> who = sessions.holder(request.sessionToken());
    if (signIn.staffed() && (!who || !signIn.onStaff(*who))) {
        reply(WebAnswer::refusal(401, "sign in first"));
        return;
    }
    if (request.method == "GET") {
        std::optional<WebAnswer> kitchenRead = kitchen.read(request, *service.snapshot());
        reply(kitchenRead ? std::move(*kitchenRead) : reads.route(path));
        return;
    }
    ChangeRoutes::Routed routed = ChangeRoutes::route(request, path, body);
    if (auto* answer = std::get_if<WebAnswer>(&routed)) {
        reply(std::move(*answer));
        return;
    }
    approvedThen(request, body, {who.value_or(""), signIn.roleOf(who.value_or("")), ""},
                 std::get<ChangeRoutes::Change>(std::move(routed)), std::move(reply));
}

// A change that carries a manager's approval waits for the PIN's check.
void WebApi::approvedThen(const WebRequest& request, const json& body, Asker asker,
                          ChangeRoutes::Change change, Reply reply) {
    if (!body.contains("approval")) {
        carryOut(request, asker, std::move(change), std::move(reply));
        return;
    }
    signIn.approve(request, body["approval"],
                   [this, request, asker, change,
                    reply](std::variant<std::string, WebAnswer> approved) mutable {
                       if (auto* refused = std::get_if<WebAnswer>(&approved)) {
                           reply(std::move(*refused));
                           return;
                       }
                       asker.approver = std::get<std::string>(approved);
                       carryOut(request, asker, std::move(change), std::move(reply));
                   });
}

WebAnswer WebApi::page(const WebRequest& request) {
    if (request.method != "GET" && request.method != "HEAD") {
        return WebAnswer::refusal(405, "the page is read with GET");
    }
    const std::optional<Page::File> file =
        Page::find(request.target.substr(0, request.target.find('?')));
    if (!file) {
        return WebAnswer::refusal(404, "there is no such page");
    }
    return {200, file->type, std::string(file->text), Page::headers(), false};
}

void WebApi::session(const WebRequest& request, const json& body, Reply& reply) {
    if (request.method == "POST") {
        signIn.attempt(request, body, std::move(reply));
    } else if (request.method == "DELETE") {
        const std::string token = request.sessionToken();
        sessions.close(token);
        events.endSession(token);
        reply({204, "application/json", "", {}, false});
    } else {
        reply(WebAnswer::refusal(405, "sign in with POST, out with DELETE"));
    }
}

// A change must be POST or DELETE with a JSON body, from the page's own
// origin when the browser names one.
std::optional<WebAnswer> WebApi::refusedAsUnsafe(const WebRequest& request) const {
    if (request.body.size() > largestBody) {
        return WebAnswer::refusal(413, "the body is larger than 64 KiB");
    }
    if (request.method == "GET" || request.method == "HEAD") {
        return std::nullopt;
    }
    if (request.method != "POST" && request.method != "DELETE") {
        return WebAnswer::refusal(405, "changes are made with POST or DELETE");
    }
    if (!request.sendsJson()) {
        return WebAnswer::refusal(415, "send the body as application/json");
    }
    if (request.origin && *request.origin != "http://" + request.host &&
        *request.origin != "https://" + request.host) {
        return WebAnswer::refusal(403, "the request comes from another site");
    }
    return std::nullopt;
}

// The change goes to the writer with who asks and the request's key, bound
// to the request; its answer comes back home on the writer's thread. The
// reply holds the device's connection, which only the server's thread may
// let go: it moves home with the answer, and the writer keeps no copy.
void WebApi::carryOut(const WebRequest& request, const Asker& asker, ChangeRoutes::Change change,
                      Reply reply) {
    Submission submission{
        std::move(change.command),
        asker.name,
        RequestKey::of(request.idempotencyKey, asker.name, request.method,
                       request.target.substr(0, request.target.find('?')), request.body),
        std::move(change.answer),
        [this, reply = std::move(reply)](const Told& told) mutable {
            deliver([made = answerOf(told), reply = std::move(reply)] { reply(made); });
        },
        asker.role,
        asker.approver};
    service.submit(std::move(submission));
}

// An item named by an id its order no longer holds is answered with the
// order as it is now, so that the device shows what it can act on.
WebAnswer WebApi::answerOf(const Told& told) const {
    if (told.refusal) {
        json said = {{"error", RefusalWords::message(*told.refusal)}};
        if (told.refusal->reason == Refusal::Reason::noSuchItem) {
            const std::shared_ptr<const DaySnapshot> now = service.snapshot();
            const OrderView* open = now->order(told.refusal->order);
            OrderView empty;
            empty.label = told.refusal->order;
            said["order"] = DayJson::order(open != nullptr ? *open : empty);
        }
        if (told.refusal->reason == Refusal::Reason::menuChanged) {
            said["menu"] = DayJson::menu(*service.snapshot());
        }
        return WebAnswer::json(RefusalWords::status(told.refusal->reason), said);
    }
    return {200, "application/json", told.answer.value_or("{}"), {}, false};
}
