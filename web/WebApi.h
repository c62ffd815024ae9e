#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/ThreadSafety.h"
#include "journal/Journal.h"
#include "service/DayService.h"
#include "service/Submission.h"
#include "web/ChangeRoutes.h"
#include "web/EventHub.h"
#include "web/KitchenRoutes.h"
#include "web/ReadRoutes.h"
#include "web/Sessions.h"
#include "web/SignIn.h"
#include "web/WebExchange.h"

// WebApi is the web till's JSON API and page: it reads a request, checks who
// sends it and that it is safe, and answers it: a read from the day's latest
// snapshot, a change through the day's one writer, answered once the batch
// that holds it is on disk. It holds no rules of the day: the service does.
// Every refusal is a 4xx status with one line for a person, and changes
// nothing.
class WebApi {
public:
    using Reply = std::function<void(WebAnswer)>;
    using Home = std::function<void(std::function<void()>)>;

    // The service and the history must outlive the API. The history is a
    // reader of the till's journal, from which past days and the staff who
    // may sign in are read.
    WebApi(DayService& service, Journal& history, Sessions& sessions, EventHub& events);
    WebApi(const WebApi&) = delete;
    WebApi& operator=(const WebApi&) = delete;
    ~WebApi();

    // Answers the request through `reply`: at once, or, for a change, once
    // it is written, through the home given to deliverOn.
    void handle(const WebRequest& request, Reply reply);
    // Answers the request, waiting for a change to be written; for callers
    // off the thread that home runs on.
    WebAnswer handle(const WebRequest& request);
    // Delivers the answers to changes, and the events of each new version of
    // the day, through the home given, such as a post to the server's own
    // thread; without one, on the service's writer's thread.
    void deliverOn(Home given);
    // Returns once every change handed to the service is written and its
    // answer delivered to home.
    void settle();

private:
    using Path = std::vector<std::string>;

    void route(const WebRequest& request, Reply& reply);
    static WebAnswer page(const WebRequest& request);
    void session(const WebRequest& request, const nlohmann::json& body, Reply& reply);
    std::optional<WebAnswer> refusedAsUnsafe(const WebRequest& request) const;
    // Who asks for a change: their name, role, and the manager who approved.
    struct Asker {
        std::string name;
        StaffRole role = StaffRole::waiter;
        std::string approver;
    };
    void approvedThen(const WebRequest& request, const nlohmann::json& body, Asker asker,
                      ChangeRoutes::Change change, Reply reply);
    void carryOut(const WebRequest& request, const Asker& asker, ChangeRoutes::Change change,
                  Reply reply);
    WebAnswer answerOf(const Told& told) const;
    void deliver(std::function<void()> delivery);

    DayService& service;
    Sessions& sessions;
    EventHub& events;
    ReadRoutes reads;
    KitchenRoutes kitchen;
    // Where answers and events go, set by the server's thread, read by the
    // writer's.
    Mutex homeMutex;
    Home home GUARDED_BY(homeMutex);
    // After home, which its answers go through.
    SignIn signIn;
};
