#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// ChildProcess runs a program with pipes to its standard input and output,
// so a test can type to it, read what it says as it says it, and kill it at
// any moment. Its standard error goes where the test's does.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments) {
        // Typing to a program that has ended must not end the test.
        std::signal(SIGPIPE, SIG_IGN);
        int toChild[2];
        int fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            std::vector<char*> argv;
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        input = toChild[1];
        output = fromChild[0];
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        kill();
        close(input);
        close(output);
    }

    // Writes to the program's standard input; a program that died ignores it.
    void type(const std::string& text) {
        std::size_t at = 0;
        while (at < text.size()) {
            const ssize_t written = write(input, text.data() + at, text.size() - at);
            if (written <= 0) {
                return;
            }
            at += static_cast<std::size_t>(written);
        }
    }

    // Ends the program's standard input, as Ctrl-D would.
    void endInput() {
        close(input);
        input = -1;
    }

    // Returns the next line the program writes, without its end, waiting for
    // it up to `patience`; false when the program ends or keeps silent.
    bool readLine(std::string& line, std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (true) {
            const std::size_t end = pending.find('\n');
            if (end != std::string::npos) {
                line = pending.substr(0, end);
                pending.erase(0, end + 1);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{output, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
                return false;
            }
            char buffer[4096];
            const ssize_t got = read(output, buffer, sizeof buffer);
            if (got <= 0) {
                return false;
            }
            pending.append(buffer, static_cast<std::size_t>(got));
        }
    }

    // Returns the program's process id, while it runs.
    int processId() const { return pid; }

    // Kills the program with SIGKILL, as a crash or a power cut would stop
    // it, and waits for it to die. Returns false when it had ended already.
    bool kill() { return stop(SIGKILL); }

    // Sends the program `signal` and waits for it to end. Returns false when
    // it had ended already.
    bool stop(int signal) {
        if (pid <= 0) {
            return false;
        }
        int waited = 0;
        if (waitpid(pid, &waited, WNOHANG) == pid) {
            status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
            pid = -1;
            return false;
        }
        ::kill(pid, signal);
        waitForExit();
        return true;
    }

    // Waits for the program to end; returns its exit status, or -1 when a
    // signal ended it.
    int waitForExit() {
        if (pid > 0) {
            int waited = 0;
            while (waitpid(pid, &waited, 0) < 0 && errno == EINTR) {
            }
            status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
            pid = -1;
        }
        return status;
    }

private:
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    int status = -1;
    std::string pending;
};
