#pragma once

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>

#include "control/ControlRequests.h"

#include "service/DayService.h"

// ControlSocket lets the owner change the menu, the staff, the settings and
// what is sold out while a till holds the journal: a Unix socket beside it,
// mode 0600, that takes one JSON request a connection from the till's own
// user or root, and answers it in one line. Its thread only reads and
// answers; the day's writer carries every change out.
class ControlSocket {
public:
    // Listens at `path`; throws std::runtime_error when it cannot, and
    // refuses a path another till answers at.
    ControlSocket(DayService& service, std::string path);
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;
    // Stops listening and removes the socket.
    ~ControlSocket();

private:
    void serve();
    void answer(int client);
    // Returns the uid of the peer, if it may change the till.
    static bool trusted(int client, uid_t& uid);

    ControlRequests requests;
    std::string path;
    int listening = -1;
    // Written by the destructor to wake the thread.
    int wake[2] = {-1, -1};
    std::thread thread;
};
