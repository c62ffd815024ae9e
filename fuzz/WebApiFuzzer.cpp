// Feeds arbitrary requests to the web till's router, one a line: method,
// target, content type, origin, idempotency key and body, separated by tabs.
// It checks that nothing crashes and, against the day's own record, that
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
#include "web/WebApi.h"

namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) {
        fields.push_back(field);
    }
    fields.resize(6);
    return fields;
}

WebRequest requestOf(const std::string& line) {
    const std::vector<std::string> fields = fieldsOf(line);
    WebRequest request;
    request.method = fields[0];
    request.target = fields[1];
    request.contentType = fields[2];
    request.host = "till";
    if (!fields[3].empty()) {
        request.origin = fields[3];
    }
    request.idempotencyKey = fields[4];
    request.body = fields[5];
    request.peer = "fuzz";
    return request;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryJournal journal;
    DayService service(builtinMenu(), journal, [] { return Moment{1796720400}; });
    service.start();
    Sessions sessions([] { return Moment{0}; });
    EventHub events;
    WebApi api(service, journal, sessions, events);
    std::set<std::string> keys;
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t entries = journal.currentDay().entries.size();
        const std::int64_t change = events.change();
        const WebRequest request = requestOf(line);
        const WebAnswer answer = api.handle(request);
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
            WebRequest orders;
            orders.method = "GET";
            orders.target = "/api/orders";
            FUZZ_CHECK(listedTotal(api.handle(orders)) == journalTotal(journal, service.day()));
        }
    }
    return 0;
}
