#include "console/EditLineReader.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <editline/readline.h>
#include <iostream>
#include <unistd.h>
#include <utility>

#include "base/ItemKind.h"
#include "base/Text.h"
#include "console/CommandTable.h"

namespace {

// libedit calls plain C functions; they reach the reader through this.
const EditLineReader* active = nullptr;
StopSignals* stops = nullptr;

// Reads a key once one is typed, or gives up, as at the end of input, once
// a stop signal comes. The signals are let in only while the wait blocks,
// so one that comes while libedit draws is seen, not lost in a read that
// libedit would start again.
int nextByte(int descriptor) {
    if (!stops->waitForInput(descriptor)) {
        return EOF;
    }
    unsigned char key = 0;
    return read(descriptor, &key, 1) == 1 ? key : EOF;
}

// libedit takes what this returns as one wide character, so the bytes of a
// character typed in the user's locale (UTF-8: é is two bytes) are read and
// decoded here; a byte that begins no character is passed on as it is.
int nextKey(FILE* in) {
    const int descriptor = fileno(in);
    std::mbstate_t state{};
    while (true) {
        const int byte = nextByte(descriptor);
        if (byte == EOF) {
            return EOF;
        }
        const char got = static_cast<char>(byte);
        wchar_t character = 0;
        const std::size_t used = std::mbrtowc(&character, &got, 1, &state);
        if (used == static_cast<std::size_t>(-2)) {
            continue;
        }
        return used == static_cast<std::size_t>(-1) ? byte : static_cast<int>(character);
    }
}
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

std::string lowercase(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

}  // namespace

EditLineReader::EditLineReader(std::vector<std::vector<std::string>> names, StopSignals& signals)
    : names(std::move(names)), signals(signals) {
    // libedit reads and shows UTF-8 only under the user's locale.
    std::setlocale(LC_CTYPE, "");
    active = this;
    stops = &signals;
    rl_readline_name = "restaurant";
    // The till's own handlers take the signals; a signal ends the wait for
    // a key, and readline returns.
    rl_catch_signals = 0;
    rl_getc_function = nextKey;
    rl_attempted_completion_function = complete;
    rl_initialize();
    using_history();
}

EditLineReader::~EditLineReader() {
    clear_history();
    active = nullptr;
    stops = nullptr;
}

LineReader::Input EditLineReader::next() { return read("> "); }

LineReader::Input EditLineReader::ask(const std::string& question) {
    return read((question + " ").c_str());
}

LineReader::Input EditLineReader::read(const char* prompt) {
    while (true) {
        int signal = signals.take();
        char* typed = nullptr;
        if (signal == 0 || signal == SIGINT) {
            errno = 0;
            typed = readline(prompt);
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

// The words Tab may offer: a command's name from the table of commands, a
// kind after add, remove, split or move, then the name of a menu item.
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
        for (const CommandTable::Entry& entry : CommandTable::entries()) {
            offer(entry.name);
        }
        return found;
    }
    const std::string verb = lowercase(words[0]);
    if (verb != "add" && verb != "remove" && verb != "split" && verb != "move") {
        return found;
    }
    const std::size_t kindAt =
        verb == "add" && words.size() > 2 && std::isdigit(static_cast<unsigned char>(words[1][0]))
            ? 2
            : 1;
    if (words.size() == kindAt + 1 || (verb == "split" && words.size() % 2 == 0)) {
        for (ItemKind kind : itemKinds) {
            offer(std::string(kindWord(kind)));
        }
        return found;
    }
    const std::optional<ItemKind> kind = kindNamed(words[kindAt]);
    if (!kind || verb == "split") {
        return found;
    }
    return namesFrom(names[static_cast<std::size_t>(*kind)], words, kindAt + 1);
}

// The completion replaces the word being typed: the rest of each name the
// typed words begin, from the word of it that stands there.
std::vector<std::string> EditLineReader::namesFrom(const std::vector<std::string>& menuNames,
                                                   const std::vector<std::string>& words,
                                                   std::size_t from) {
    std::string typedName;
    for (std::size_t at = from; at < words.size(); ++at) {
        typedName += (at == from ? "" : " ") + words[at];
    }
    const std::size_t wordsBefore = words.size() - from - 1;
    std::vector<std::string> found;
    for (const std::string& name : menuNames) {
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
