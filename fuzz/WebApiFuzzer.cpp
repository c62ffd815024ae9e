// Feeds arbitrary requests to the web till's router, one a line: method,
// target, content type, origin, idempotency key, body, Host and cookie,
// separated by tabs, from a device signed in as Ana. The till answers to
// "till" on port 8080; an empty Host is that one, an empty cookie Ana's, and
// "$session" in a cookie stands for her session's token. It checks that
// nothing crashes and, against the day's own record, that
// every refusal is a 4xx with one line for a person and changes nothing,
// that a repeated key changes nothing, and that the orders the API lists are
// the day the journal holds.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"

#include "journal/DayReplay.h"
#include "journal/MemoryJournal.h"
#include "menu/Menu.h"
#include "service/DayService.h"
#include "web/HostNames.h"
#include "web/PinHash.h"
#include "web/WebApi.h"

namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) {
        fields.push_back(field);
    }
    fields.resize(8);
    return fields;
}

WebRequest requestOf(const std::string& line, const std::string& session) {
    const std::vector<std::string> fields = fieldsOf(line);
    WebRequest request;
    request.method = fields[0];
    request.target = fields[1];
    request.contentType = fields[2];
    if (!fields[3].empty()) {
        request.origin = fields[3];
    }
    request.idempotencyKey = fields[4];
    request.body = fields[5];
    request.host = fields[6].empty() ? "till:8080" : fields[6];
    request.cookie = fields[7].empty() ? "session=$session" : fields[7];
    const std::size_t at = request.cookie.find("$session");
    if (at != std::string::npos) {
        request.cookie.replace(at, 8, session);
    }
    request.peer = "fuzz";
    return request;
}

// Signs Ana in; returns her session's token.
std::string signedIn(WebApi& api) {
    WebRequest request;
    request.method = "POST";
    request.target = "/api/session";
    request.contentType = "application/json";
    request.body = R"({"staff":"Ana","pin":"2468"})";
    request.peer = "fuzz";
    const WebAnswer answer = api.handle(request);
    FUZZ_CHECK(answer.status == 204 && answer.headers.size() == 1);
    const std::string& cookie = answer.headers[0].second;
    return cookie.substr(8, cookie.find(';') - 8);
}

// The request as the server hands it on: to the API only when it names the
// till and comes from its own pages.
WebAnswer answerOf(WebApi& api, HostNames& hosts, const WebRequest& request) {
    if (std::optional<WebAnswer> refused = hosts.refusal(request)) {
        return *refused;
    }
    return api.handle(request);
}

// The total of every open order, as the journal's entries make them.
std::int64_t journalTotal(MemoryJournal& journal, std::int32_t day) {
    DayReplay replay(day);
    for (const JournalEntry& entry : journal.currentDay().entries) {
        replay.apply(entry);
    }
    std::int64_t total = 0;
    for (const JournalItem& item : replay.sofar().items) {
        total += item.customer == 0 && !item.removedAt ? item.price.cents() : 0;
    }
    return total;
}

std::int64_t listedTotal(const WebAnswer& orders) {
    std::int64_t total = 0;
    const nlohmann::json listed = nlohmann::json::parse(orders.body);
    for (const auto& order : listed["orders"]) {
        total += order["total_cents"].get<std::int64_t>();
    }
    return total;
}

WebAnswer ordersAs(WebApi& api, const std::string& session) {
    WebRequest orders;
    orders.method = "GET";
    orders.target = "/api/orders";
    orders.cookie = "session=" + session;
    return api.handle(orders);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string pinHash = PinHash::of("2468", true);
    MemoryJournal journal;
    journal.putStaff({"Ana", pinHash});
    DayService service(builtinMenu(), journal, [] { return Moment{1796720400}; });
    service.start();
    Sessions sessions([] { return Moment{0}; });
    EventHub events;
    WebApi api(service, journal, sessions, events);
    HostNames hosts("127.0.0.1", 8080, false, {"till"});
    const std::string session = signedIn(api);
    // The checker's own session, which no input knows and so none ends.
    const std::string checker = signedIn(api);
    std::set<std::string> keys;
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t entries = journal.currentDay().entries.size();
        const std::int64_t change = events.change();
        const WebRequest request = requestOf(line, session);
        const WebAnswer answer = answerOf(api, hosts, request);
        FUZZ_CHECK(answer.status >= 200 && answer.status < 600);
        if (answer.status >= 400) {
            const auto said = nlohmann::json::parse(answer.body, nullptr, false);
            FUZZ_CHECK(said.is_object() && said["error"].is_string());
            FUZZ_CHECK(said["error"].get<std::string>().find('\n') == std::string::npos);
            FUZZ_CHECK(events.change() == change);
        }
        const bool repeated =
            !request.idempotencyKey.empty() && keys.count(request.idempotencyKey) > 0;
        if (request.method == "GET" || answer.status >= 400 || repeated) {
            FUZZ_CHECK(journal.currentDay().entries.size() == entries);
        }
        if (answer.status == 200 && !request.idempotencyKey.empty()) {
            keys.insert(request.idempotencyKey);
        }
        if (!service.over()) {
            FUZZ_CHECK(listedTotal(ordersAs(api, checker)) == journalTotal(journal, service.day()));
        }
    }
    return 0;
}
