#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

// The standard output and exit status of a program run through the shell.
struct ProgramRun {
    std::string output;
    int status = -1;
};

inline ProgramRun runProgram(const std::string& command) {
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, read);
    }
    const int waited = pclose(pipe);
    run.status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    return run;
}
