#include "till/EditLineReader.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <editline/readline.h>
#include <iostream>
#include <utility>

#include "base/ItemKind.h"
#include "base/Text.h"

namespace {

// libedit calls plain C functions; they reach the reader through this.
const EditLineReader* active = nullptr;
std::vector<std::string> offered;

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words(1);
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!words.back().empty()) {
                words.emplace_back();
            }
        } else {
            words.back() += c;
        }
    }
    return words;  // the last is the word being typed, perhaps empty
}

// Hands libedit the offered completions one by one, as malloc'ed strings.
char* nextOffered(const char* /*text*/, int state) {
    static std::size_t at = 0;
    if (state == 0) {
        at = 0;
    }
    return at < offered.size() ? strdup(offered[at++].c_str()) : nullptr;
}

char** complete(const char* text, int /*start*/, int end) {
    rl_attempted_completion_over = 1;  // never fall back to file names
    offered = active->completions(std::string(rl_line_buffer, static_cast<std::size_t>(end)));
    return offered.empty() ? nullptr : rl_completion_matches(text, nextOffered);
}

bool startsWith(const std::string& text, const std::string& start) {
    const std::string folded = foldedForMatching(start);
    return foldedForMatching(text).compare(0, folded.size(), folded) == 0;
}

const char* const commandWords[] = {"add",     "remove", "clear", "cart", "next", "receipt",
                                    "summary", "report", "menu",  "help", "quit"};

}  // namespace

EditLineReader::EditLineReader(std::vector<std::vector<std::string>> names, StopSignals& signals)
    : names(std::move(names)), signals(signals) {
    // libedit reads and shows UTF-8 only under the user's locale.
    std::setlocale(LC_CTYPE, "");
    active = this;
    rl_readline_name = "restaurant";
    // The till's own handlers take the signals; a signal interrupts the
    // wait for a key, and readline returns.
    rl_catch_signals = 0;
    rl_attempted_completion_function = complete;
    rl_initialize();
    using_history();
}

EditLineReader::~EditLineReader() {
    clear_history();
    active = nullptr;
}

LineReader::Input EditLineReader::next() {
    while (true) {
        int signal = signals.take();
        char* typed = nullptr;
        if (signal == 0 || signal == SIGINT) {
            errno = 0;
            StopSignals::LetIn letIn(signals);
            typed = readline("> ");
        }
        const int error = errno;
        signal = signal != 0 && signal != SIGINT ? signal : signals.take();
        if (typed != nullptr) {
            std::string line(typed);
            std::free(typed);
            if (line.find_first_not_of(" \t") != std::string::npos) {
                add_history(line.c_str());
            }
            return {Input::Kind::line, std::move(line), 0};
        }
        std::cout << std::endl;  // ends the prompt's line
        if (signal == SIGINT) {
            continue;  // Ctrl-C: the line is abandoned, a fresh prompt follows
        }
        if (signal != 0) {
            return {Input::Kind::stopped, "", signal};
        }
        if (error == EIO || error == ENXIO || error == EBADF) {
            return {Input::Kind::failed, std::strerror(error), 0};
        }
        return {Input::Kind::end, "", 0};
    }
}

bool EditLineReader::interactive() const { return true; }

std::vector<std::string> EditLineReader::completions(const std::string& line) const {
    const std::vector<std::string> words = wordsOf(line);
    const std::string& typing = words.back();
    std::vector<std::string> found;
    const auto offer = [&](const std::string& word) {
        if (startsWith(word, typing)) {
            found.push_back(word);
        }
    };
    if (words.size() == 1) {
        for (const char* command : commandWords) {
            offer(command);
        }
        return found;
    }
    std::string verb = words[0];
    for (char& c : verb) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (verb != "add" && verb != "remove") {
        return found;
    }
    // add [COUNT] KIND NAME, remove KIND N
    std::size_t kindAt = 1;
    if (verb == "add" && words.size() > 2 &&
        std::isdigit(static_cast<unsigned char>(words[1][0]))) {
        kindAt = 2;
    }
    if (words.size() == kindAt + 1) {
        for (ItemKind kind : itemKinds) {
            offer(std::string(kindWord(kind)));
        }
        return found;
    }
    const std::optional<ItemKind> kind = kindNamed(words[kindAt]);
    if (!kind) {
        return found;
    }
    std::string typedName;
    for (std::size_t at = kindAt + 1; at < words.size(); ++at) {
        typedName += (at == kindAt + 1 ? "" : " ") + words[at];
    }
    // The completion replaces the word being typed: the rest of the name
    // from the word of it that stands there.
    const std::size_t wordsBefore = words.size() - kindAt - 2;
    for (const std::string& name : names[static_cast<std::size_t>(*kind)]) {
        std::size_t start = 0;
        for (std::size_t skipped = 0; skipped < wordsBefore && start != std::string::npos;
             ++skipped) {
            start = name.find(' ', start);
            start = start == std::string::npos ? start : start + 1;
        }
        if (start != std::string::npos && startsWith(name, typedName)) {
            found.push_back(name.substr(start));
        }
    }
    return found;
}
