#include "console/CheckedOutput.h"

#include <cerrno>
#include <unistd.h>

CheckedOutput::CheckedOutput(int descriptor) : descriptor(descriptor) {
    setp(buffer.data(), buffer.data() + buffer.size());
}

CheckedOutput::~CheckedOutput() { drain(); }

int CheckedOutput::failure() const { return error; }

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int CheckedOutput::sync() { return drain() ? 0 : -1; }

// Once a write failed, the rest is dropped: output with a hole in it is no
// output to trust.
bool CheckedOutput::drain() {
    const char* at = pbase();
    while (error == 0 && at < pptr()) {
        const ssize_t written = ::write(descriptor, at, static_cast<std::size_t>(pptr() - at));
        if (written < 0 && errno != EINTR) {
            error = errno;
        } else if (written > 0) {
            at += written;
        }
    }
    setp(buffer.data(), buffer.data() + buffer.size());
    return error == 0;
}
