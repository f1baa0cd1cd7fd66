#include "shell/sdl/help_pages.h"

#include <SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool Readable(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

// Only relative to the program's own folder: an installed game must not reach into the tree
// it was built in. The build tree links the same relative path to resources/help.
std::string FindHelpFile(const std::string& name) {
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        return {};
    }
    std::string file = std::string(base) + VEXAL_HELP_FROM_BINDIR "/" + name;
    SDL_free(base);
    return Readable(file) ? file : std::string();
}

// Everything but unreserved characters and '/' is escaped, so any path makes a valid URL.
std::string PercentEncode(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4U];
            out += kHex[c & 15U];
        }
    }
    return out;
}

// The file's absolute path, or empty when it is nowhere to be found.
std::string HelpPagePath(const std::string& name) {
    const std::string file = FindHelpFile(name);
    if (file.empty()) {
        return {};
    }
    char* real = realpath(file.c_str(), nullptr);
    std::string absolute = real != nullptr ? real : file;
    std::free(real);
    return absolute;
}

std::string Unopened(const std::string& reason, const std::string& path) {
    return "The help could not be opened: " + reason + ".\n\nThe help page is\n" + path + "\nOpen it in a web browser.";
}

}  // namespace

std::string HelpPageUrl(const std::string& target) {
    const std::size_t hash = target.find('#');
    const std::string path = HelpPagePath(target.substr(0, hash));
    return path.empty() ? path
                        : "file://" + PercentEncode(path) + (hash == std::string::npos ? "" : target.substr(hash));
}

bool HelpPages::Open(const char* target, std::string* message) {
    const std::string name = std::string(target).substr(0, std::string(target).find('#'));
    const std::string url = HelpPageUrl(target);
    if (url.empty()) {
        *message = "The help could not be opened: its page " + name + " is not installed.";
        return false;
    }
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ);
    if (error != 0) {
        *message = Unopened(error == ENOENT ? std::string("xdg-open was not found (install xdg-utils)")
                                            : std::string("xdg-open could not be started: ") + std::strerror(error),
                            HelpPagePath(name));
        return false;
    }
    m_runs.push_back(Run{pid, HelpPagePath(name), std::chrono::steady_clock::now() + kWatch});
    return true;
}

bool HelpPages::Poll(std::string* message) {
    bool failed = false;
    const auto now = std::chrono::steady_clock::now();
    for (auto run = m_runs.begin(); run != m_runs.end();) {
        int status = 0;
        const pid_t done = waitpid(run->pid, &status, WNOHANG);
        if (done == 0) {
            ++run;
            continue;
        }
        // A run that ends well, or fails only after its watch (a browser closed much later), says nothing.
        if (done == run->pid && now <= run->watchedUntil && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
            *message = Unopened(WIFEXITED(status) ? "xdg-open could not show it in a browser (exit status " +
                                                        std::to_string(WEXITSTATUS(status)) + ")"
                                                  : "xdg-open was ended by signal " + std::to_string(WTERMSIG(status)),
                                run->path);
            failed = true;
        }
        run = m_runs.erase(run);
    }
    return failed;
}

bool HelpPages::Watching() const {
    const auto now = std::chrono::steady_clock::now();
    for (const Run& run : m_runs) {
        if (now <= run.watchedUntil) {
            return true;
        }
    }
    return false;
}
