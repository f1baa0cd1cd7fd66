// Arbitrary command lines, module paths and registry values into the launcher's path logic.
// Every path comes out whole and terminated (no NUL inside, nothing cut), the base name is the
// module's own unless that gives none, nothing reads past the registry value it was given, and
// the program search asks only for the path it was given or that path with one of the four
// extensions.
//
// Input: len16 command line, len16 module path, len16 registry value (raw bytes, NULs allowed),
// then one byte whose bits say which of the searched files exist.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "launcher/launcher_paths.h"

namespace {

long long s_inputs = 0;

void PrintTotals() {
    std::fprintf(stderr, "launcher_paths_fuzzer: %lld inputs\n", s_inputs);
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "launcher_paths_fuzzer: %s: '%s'\n", what, detail.c_str());
    std::abort();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::string Bytes() {
        auto n = static_cast<std::size_t>(U8());
        n |= static_cast<std::size_t>(U8()) << 8;
        n = n < m_size - m_pos ? n : m_size - m_pos;
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    int U8() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// What the launcher receives from the system is a C string: it ends at the first NUL.
std::string AsCString(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

bool Terminated(const std::string& s) {
    return std::strlen(s.c_str()) == s.size();
}

bool HasSeparator(const std::string& s) {
    return s.find_first_of("\\/:") != std::string::npos;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckNames(const std::string& commandLine, const std::string& modulePath) {
    // The runtime's program name: the line after its leading blanks, quotes dropped, up to a
    // blank outside quotes. So it is a prefix of that text without its quotes, cut at a blank.
    const std::string token = ostrover::ProgramToken(commandLine);
    const std::size_t start = std::min(commandLine.find_first_not_of(" \t"), commandLine.size());
    std::string unquoted;
    for (std::size_t i = start; i < commandLine.size(); ++i) {
        if (commandLine[i] != '"') {
            unquoted += commandLine[i];
        }
    }
    if (unquoted.compare(0, token.size(), token) != 0 ||
        (token.size() < unquoted.size() && unquoted[token.size()] != ' ' && unquoted[token.size()] != '\t')) {
        Fail("program token is not the line's first word without its quotes", token);
    }
    if (commandLine.find('"') == std::string::npos && token.find_first_of(" \t") != std::string::npos) {
        Fail("program token runs past a blank with no quote on the line", token);
    }
    const std::string base = ostrover::BaseNameOfPath(token);
    if (HasSeparator(base) || token.find(base) == std::string::npos) {
        Fail("base name is not the file name of the token", base);
    }
    const std::string name = ostrover::LauncherBaseName(modulePath, commandLine);
    if (name.empty() || HasSeparator(name) || !Terminated(name)) {
        Fail("launcher base name empty, with a directory, or cut", name);
    }
    // The module's own name first; the command line only when the module's gives nothing.
    const std::string moduleBase = ostrover::BaseNameOfPath(modulePath);
    if (name != (!moduleBase.empty() ? moduleBase : !base.empty() ? base : std::string("Ostrover"))) {
        Fail("launcher base name is not the module's, else the command line's, else the product's", name);
    }
    const std::string ini = ostrover::IniPathFor(name);
    if (ini != ".\\" + name + ".ini" || !Terminated(ini)) {
        Fail("package path is not .\\ + name + .ini", ini);
    }
    const std::string child = ostrover::ChildCommandLine(ini);
    if (child.compare(0, 8, "/report ") != 0 || child.find(ini) != 8 + (child[8] == '"' ? 1 : 0) ||
        !Terminated(child)) {
        Fail("application manager's command line is not /report and the package path", child);
    }
    const bool blank = ini.find_first_of(" \t") != std::string::npos;
    if (blank != (child[8] == '"') || (blank && child.back() != '"')) {
        Fail("package path quoted when it need not be, or not when it must", child);
    }
}

std::string CheckRegistry(const std::string& value) {
    // Exactly the bytes the registry handed over, with no terminator after them.
    std::unique_ptr<char[]> data(new char[value.size() == 0 ? 1 : value.size()]);
    std::memcpy(data.get(), value.data(), value.size());
    const std::string text = ostrover::RegistryText(data.get(), value.size());
    if (text.size() > value.size() || value.compare(0, text.size(), text) != 0 || !Terminated(text) ||
        (text.size() < value.size() && value[text.size()] != '\0')) {
        Fail("registry text is not the value up to its first NUL", text);
    }
    if (!ostrover::RegistryText(nullptr, value.size()).empty()) {
        Fail("registry text from no data", "");
    }
    return text;
}

void CheckResolve(const std::string& path, int existsMask) {
    std::vector<std::string> asked;
    const auto exists = [&](const std::string& candidate) {
        asked.push_back(candidate);
        return ((existsMask >> (asked.size() - 1)) & 1) != 0;
    };
    const std::optional<std::string> program = ostrover::ResolveProgram(path, exists);
    if (path.empty()) {
        if (program || !asked.empty()) {
            Fail("an empty path resolved to something", program ? *program : asked.front());
        }
        return;
    }
    const std::string full = HasSeparator(path) ? path : ".\\" + path;
    static const char* const kExtensions[] = {"", ".com", ".exe", ".bat", ".cmd"};
    for (const std::string& candidate : asked) {
        bool known = false;
        for (const char* extension : kExtensions) {
            known = known || candidate == full + extension;
        }
        if (!known || !Terminated(candidate)) {
            Fail("searched for a file that is not the path or the path with an extension", candidate);
        }
    }
    if (asked.size() > 4) {
        Fail("searched more than four names", path);
    }
    std::size_t firstFound = asked.size();
    for (std::size_t i = 0; i < asked.size(); ++i) {
        if (((existsMask >> i) & 1) != 0) {
            firstFound = i;
            break;
        }
    }
    if (firstFound == asked.size() ? program.has_value() : (!program || *program != asked[firstFound])) {
        Fail("started something other than the first file that exists", program ? *program : "(nothing)");
    }
    if (program && (!EndsWith(*program, ".com") && !EndsWith(*program, ".exe") && !EndsWith(*program, ".bat") &&
                    !EndsWith(*program, ".cmd") && *program != full)) {
        Fail("started a file by a name it was not given", *program);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = std::atexit(PrintTotals) == 0;
    (void)registered;
    ++s_inputs;
    Reader in(data, size);
    const std::string commandLine = AsCString(in.Bytes());
    const std::string modulePath = AsCString(in.Bytes());
    const std::string registryValue = in.Bytes();
    const int existsMask = in.U8();
    CheckNames(commandLine, modulePath);
    const std::string appManager = CheckRegistry(registryValue);
    CheckResolve(appManager, existsMask);
    return 0;
}
