// Text to standard output, with a failed write (a full disk, a closed pipe) reported.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

// False with "cannot write to standard output: reason" when the text did not get out.
inline bool WriteStdout(const std::string& text, std::string* error) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0) {
        return true;
    }
    *error = std::string("cannot write to standard output: ") + std::strerror(errno);
    return false;
}
