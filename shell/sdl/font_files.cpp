#include "shell/sdl/font_files.h"

#include <unistd.h>

#include <cstdio>

namespace {

// Debian and Ubuntu, then Fedora, Arch, and the BSDs and Homebrew.
const char* const kFontDirs[] = {
    "/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/dejavu-sans-fonts/",
    "/usr/share/fonts/dejavu/",          "/usr/share/fonts/TTF/",
    "/usr/local/share/fonts/dejavu/",    "/usr/local/share/fonts/",
    "/opt/homebrew/share/fonts/",
};

bool Readable(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

// fc-match always answers with its best match, so only a DejaVu Sans file is taken.
std::string AskFontconfig(const char* pattern) {
    const std::string command = std::string("fc-match -f '%{file}' '") + pattern + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string path;
    char buffer[512];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        path.append(buffer, n);
    }
    pclose(pipe);
    const std::size_t slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.rfind("DejaVuSans", 0) != 0 || base.find("Mono") != std::string::npos || !Readable(path)) {
        return {};
    }
    return path;
}

}  // namespace

bool FindFontFiles(FontFiles* files) {
    for (const char* dir : kFontDirs) {
        const std::string regular = std::string(dir) + "DejaVuSans.ttf";
        if (Readable(regular)) {
            files->regular = regular;
            const std::string bold = std::string(dir) + "DejaVuSans-Bold.ttf";
            files->bold = Readable(bold) ? bold : std::string();
            return true;
        }
    }
    files->regular = AskFontconfig("DejaVu Sans:style=Book");
    if (files->regular.empty()) {
        return false;
    }
    files->bold = AskFontconfig("DejaVu Sans:style=Bold");
    if (files->bold == files->regular) {
        files->bold.clear();
    }
    return true;
}
