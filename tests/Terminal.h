#pragma once

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

// Terminal runs a program on a pseudo-terminal of its own, as a person at a
// keyboard would: keys typed, what the screen shows read back, the terminal
// hung up. Its session ends with the terminal.
class Terminal {
public:
    // The program runs in the locale given, as LC_ALL, when one is.
    explicit Terminal(const std::vector<std::string>& arguments, const std::string& locale = "") {
        child = forkpty(&master, nullptr, nullptr, nullptr);
        if (child == 0) {
            setenv("TERM", "xterm", 1);
            if (!locale.empty()) {
                setenv("LC_ALL", locale.c_str(), 1);
            }
            std::vector<char*> argv;
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    ~Terminal() {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        hangUp();
    }

    // Reads what the screen shows until `wanted` appears after the last text
    // found, or `patience` milliseconds pass; returns whether it appeared.
    bool showsNext(const std::string& wanted, int patience = 5000) {
        for (int waited = 0;
             shown.find(wanted, cursor) == std::string::npos && waited < patience / 50; ++waited) {
            pollfd ready{master, POLLIN, 0};
            if (poll(&ready, 1, 50) > 0) {
                char buffer[1024];
                const ssize_t got = read(master, buffer, sizeof buffer);
                if (got <= 0) {
                    break;
                }
                shown.append(buffer, static_cast<std::size_t>(got));
            }
        }
        const std::size_t found = shown.find(wanted, cursor);
        if (found == std::string::npos) {
            return false;
        }
        cursor = found + wanted.size();
        return true;
    }

    // Waits up to five seconds for the program to read keys one by one, as
    // a line editor does once it shows its prompt; keys typed before would
    // go through the terminal's own line editing. Returns whether it does.
    bool readsKeys() {
        for (int waited = 0; waited < 500; ++waited) {
            termios modes{};
            if (tcgetattr(master, &modes) == 0 && (modes.c_lflag & ICANON) == 0) {
                return true;
            }
            usleep(10000);
        }
        return false;
    }

    void type(const std::string& keys) { (void)!write(master, keys.data(), keys.size()); }

    // Closes the terminal, as when its window is closed or its line drops.
    void hangUp() {
        if (master >= 0) {
            close(master);
            master = -1;
        }
    }

    // Waits up to ten seconds for the program to end; returns its exit
    // status, or 128 plus the signal that ended it. One that does not end
    // is killed, and gives -1.
    int exitStatus() {
        int status = 0;
        for (int waited = 0; waited < 1000; ++waited) {
            if (waitpid(child, &status, WNOHANG) == child) {
                child = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }

    pid_t pid() const { return child; }
    const std::string& screen() const { return shown; }

private:
    pid_t child = -1;
    int master = -1;
    std::string shown;
    // Where the next search starts: after the last text found.
    std::size_t cursor = 0;
};
