#include "shell/sdl/help_pages.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>

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

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        if (access((dir + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
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

}  // namespace

std::string HelpPageUrl(const std::string& target) {
    const std::size_t hash = target.find('#');
    const std::string name = target.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? std::string() : target.substr(hash);
    const std::string file = FindHelpFile(name);
    if (file.empty()) {
        return {};
    }
    char* real = realpath(file.c_str(), nullptr);
    const std::string absolute = real != nullptr ? real : file;
    std::free(real);
    return "file://" + PercentEncode(absolute) + anchor;
}

bool OpenHelpPage(const char* target, std::string* error) {
    const std::string url = HelpPageUrl(target);
    if (url.empty()) {
        *error = std::string("the help page ") + target + " is not installed";
        return false;
    }
    if (!OnPath("xdg-open")) {
        *error = "xdg-open was not found (install xdg-utils); the help page is " + url;
        return false;
    }
    if (SDL_OpenURL(url.c_str()) != 0) {
        *error = std::string("could not start xdg-open: ") + SDL_GetError();
        return false;
    }
    return true;
}
