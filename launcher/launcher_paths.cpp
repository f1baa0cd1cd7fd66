#include "launcher/launcher_paths.h"

#include <array>

namespace ostrover {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Index just past the last directory separator, 0 when there is none.
std::size_t FileNameStart(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/:");
    return last == std::string::npos ? 0 : last + 1;
}

}  // namespace

std::string ProgramToken(const std::string& commandLine) {
    std::size_t i = 0;
    while (i < commandLine.size() && IsBlank(commandLine[i])) {
        ++i;
    }
    // A missing closing quote takes the rest of the line, as the runtime does.
    std::string token;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || !IsBlank(commandLine[i])); ++i) {
        if (commandLine[i] == '"') {
            quoted = !quoted;
        } else {
            token += commandLine[i];
        }
    }
    return token;
}

std::string BaseNameOfPath(const std::string& path) {
    std::string name = path.substr(FileNameStart(path));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string LauncherBaseName(const std::string& modulePath, const std::string& commandLine) {
    std::string name = BaseNameOfPath(modulePath);
    if (name.empty()) {
        name = BaseNameOfPath(ProgramToken(commandLine));
    }
    if (name.empty()) {
        name = "Ostrover";
    }
    return name;
}

std::string IniPathFor(const std::string& baseName) {
    return ".\\" + baseName + ".ini";
}

std::string ChildCommandLine(const std::string& iniPath) {
    const bool needsQuotes = iniPath.find_first_of(" \t") != std::string::npos;
    // A file name cannot hold a quote, and ours ends in ".ini", so no closing backslash
    // can swallow the quote.
    return needsQuotes ? "/report \"" + iniPath + "\"" : "/report " + iniPath;
}

std::string RegistryText(const char* data, std::size_t size) {
    if (data == nullptr) {
        return {};
    }
    std::size_t length = 0;
    while (length < size && data[length] != '\0') {
        ++length;
    }
    return std::string(data, length);
}

std::array<RegistryPlace, 2> AppManagerKeyPlaces(bool program64) {
    static constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
    static constexpr char kKey32[] =
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
    if (program64) {
        return {RegistryPlace{kKey, false}, RegistryPlace{kKey32, false}};
    }
    return {RegistryPlace{kKey, false}, RegistryPlace{kKey, true}};
}

std::string FindAppManagerPath(bool program64, const ReadRegistryText& read) {
    for (const RegistryPlace& place : AppManagerKeyPlaces(program64)) {
        std::optional<std::string> path = read(place);
        if (path && !path->empty()) {
            return *path;
        }
    }
    return {};
}

std::optional<std::string> ResolveProgram(const std::string& path, const FileExists& exists) {
    if (path.empty()) {
        return std::nullopt;
    }
    bool hasSeparator = false;
    for (const char c : path) {
        hasSeparator = hasSeparator || IsSeparator(c);
    }
    const std::string full = hasSeparator ? path : ".\\" + path;

    if (full.find('.', FileNameStart(full)) != std::string::npos) {
        if (exists(full)) {
            return full;
        }
        return std::nullopt;
    }
    static const std::array<const char*, 4> kExtensions = {".com", ".exe", ".bat", ".cmd"};
    for (const char* extension : kExtensions) {
        const std::string candidate = full + extension;
        if (exists(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace ostrover
