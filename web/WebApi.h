#pragma once

#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "journal/Journal.h"
#include "service/DayService.h"
#include "web/EventHub.h"
#include "web/Sessions.h"
#include "web/WebExchange.h"

// WebApi is the web till's JSON API and page: it reads a request, checks who
// sends it and that it is safe, has the day's service carry it out, and
// answers. It holds no rules of the day: the service does. Every refusal is
// a 4xx status with one line for a person, and changes nothing. A change is
// answered once the batch that holds it is on disk.
class WebApi {
public:
    using Reply = std::function<void(WebAnswer)>;
    using Home = std::function<void(std::function<void()>)>;

    // The service and journal must outlive the API; the staff who may sign
    // in are read from the journal once.
    WebApi(DayService& service, Journal& journal, Sessions& sessions, EventHub& events);

    // Answers the request through `reply`: at once, or, for a change, once
    // it is written, through the home given to deliverOn.
    void handle(const WebRequest& request, Reply reply);
    // Answers the request, waiting for a change to be written; for callers
    // off the thread that home runs on.
    WebAnswer handle(const WebRequest& request);
    // Delivers the answers to changes, and the events they raise, through
    // the home given, such as a post to the server's own thread; without
    // one, on the service's writer's thread.
    void deliverOn(Home given);
    // Returns once every change handed to the service is written and its
    // answer delivered to home.
    void settle();

private:
    using Path = std::vector<std::string>;
    // Change is a request's change to the day, ready to run: who asks, the
    // request's key, the command, and how to answer from the day it made.
    struct Change {
        using Command = std::function<std::optional<Refusal>()>;
        using Answer = std::function<nlohmann::json(const DayRecord&)>;
        Change(Command command, Answer answer)
            : command(std::move(command)), answer(std::move(answer)) {}

        Command command;
        Answer answer;
        std::string staff;
        std::string key;
    };
    using Routed = std::variant<WebAnswer, Change>;

    Routed route(const WebRequest& request);
    static WebAnswer page(const WebRequest& request);
    WebAnswer session(const WebRequest& request, const nlohmann::json& body);
    void carryOut(Change change, Reply reply);
    WebAnswer answerOf(const DayService::TagOutcome& outcome,
                       const std::function<nlohmann::json(const DayRecord&)>& answer);
    void deliver(std::function<void()> delivery);
    WebAnswer read(const Path& path);
    std::optional<WebAnswer> refusedAsUnsafe(const WebRequest& request) const;
    WebAnswer signIn(const WebRequest& request, const nlohmann::json& body);
    Routed change(const WebRequest& request, const Path& path, const nlohmann::json& body);
    Routed orderChange(const WebRequest& request, const Path& path, const nlohmann::json& body);
    Routed addItem(const std::string& order, const nlohmann::json& body);
    Routed removeItem(const std::string& order, const std::string& kindName,
                      const std::string& position);
    Routed moveItem(const std::string& order, const nlohmann::json& body);
    Routed pay(const std::string& order, const nlohmann::json& body);
    WebAnswer closeDay();
    WebAnswer pastDay(const Path& path);

    DayService& service;
    Sessions& sessions;
    EventHub& events;
    std::vector<Journal::StaffMember> staff;
    std::mutex homeMutex;
    Home home;
};
