#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "service/DayService.h"
#include "web/EventHub.h"
#include "web/Sessions.h"
#include "web/WebExchange.h"

// WebApi is the web till's JSON API and page: it reads a request, checks who
// sends it and that it is safe, has the day's service carry it out, and
// answers. It holds no rules of the day: the service does. Every refusal is
// a 4xx status with one line for a person, and changes nothing.
class WebApi {
public:
    // The service and journal must outlive the API; the staff who may sign
    // in are read from the journal once.
    WebApi(DayService& service, Journal& journal, Sessions& sessions, EventHub& events);

    WebAnswer handle(const WebRequest& request);

private:
    struct Route;
    using Path = std::vector<std::string>;

    WebAnswer route(const WebRequest& request, const Path& path, const std::string& who);
    WebAnswer read(const Path& path);
    std::optional<WebAnswer> refusedAsUnsafe(const WebRequest& request) const;
    WebAnswer signIn(const WebRequest& request, const nlohmann::json& body);
    WebAnswer change(const WebRequest& request, const Path& path, const nlohmann::json& body,
                     const std::string& who);
    // Carries out a change under the request's key: the command gives a
    // refusal or nothing, `answer` the answer from the day it made.
    WebAnswer changed(const WebRequest& request, const std::string& who,
                      const std::function<std::optional<Refusal>()>& command,
                      const std::function<nlohmann::json(const DayRecord&)>& answer);
    WebAnswer orderChange(const WebRequest& request, const Path& path, const nlohmann::json& body,
                          const std::string& who);
    WebAnswer addItem(const WebRequest& request, const std::string& order,
                      const nlohmann::json& body, const std::string& who);
    WebAnswer removeItem(const WebRequest& request, const std::string& order,
                         const std::string& kindName, const std::string& position,
                         const std::string& who);
    WebAnswer moveItem(const WebRequest& request, const std::string& order,
                       const nlohmann::json& body, const std::string& who);
    WebAnswer pay(const WebRequest& request, const std::string& order, const nlohmann::json& body,
                  const std::string& who);
    WebAnswer closeDay();
    WebAnswer pastDay(const Path& path);

    DayService& service;
    Journal& journal;
    Sessions& sessions;
    EventHub& events;
    std::vector<Journal::StaffMember> staff;
};
