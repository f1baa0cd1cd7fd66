#include "shell/replay/script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "shell/commands.h"

namespace {

struct Named {
    const char* name;
    int value;
};

constexpr Named kCommands[] = {
    {"shuffle", IDM_SHUFFLE}, {"change-skin", IDM_CHANGE_SKIN}, {"size", IDM_SIZE}, {"help", IDM_HELP},
    {"about", IDM_ABOUT},     {"quit-no", IDM_QUIT_NO},
};

constexpr Named kButtons[] = {
    {"shuffle", static_cast<int>(HostButton::Shuffle)}, {"newskin", static_cast<int>(HostButton::NewSkin)},
    {"minus", static_cast<int>(HostButton::SizeDown)},  {"plus", static_cast<int>(HostButton::SizeUp)},
    {"ok", static_cast<int>(HostButton::SizeOk)},
};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) {
        words.push_back(w);
    }
    return words;
}

// A whole decimal number in [lo, hi], nothing else.
bool ParseNumber(const std::string& word, long long lo, long long hi, long long* value) {
    if (word.empty() || word.size() > 20) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-' && word.size() > 1)) {
            return false;
        }
    }
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    *value = v;
    return true;
}

bool Lookup(const Named* table, std::size_t count, const std::string& name, int* value) {
    for (std::size_t i = 0; i < count; ++i) {
        if (name == table[i].name) {
            *value = table[i].value;
            return true;
        }
    }
    return false;
}

std::string NameList(const Named* table, std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i) {
        list += (i == 0 ? "" : ", ");
        list += table[i].name;
    }
    return list;
}

}  // namespace

bool ParseScript(const std::string& text, Script* script, std::string* error) {
    *script = Script{};
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    bool anyCommand = false;
    auto fail = [&](const std::string& what) {
        *error = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::size_t hash = raw.find('#');
        const std::vector<std::string> w = Words(hash == std::string::npos ? raw : raw.substr(0, hash));
        if (w.empty()) {
            continue;
        }
        const std::string& op = w[0];
        ScriptEvent ev{};
        ev.line = lineNo;
        if (op == "seed") {
            long long seed = 0;
            if (anyCommand) {
                return fail("'seed' may only be the first command");
            }
            if (w.size() != 2 || !ParseNumber(w[1], 0, 4294967295LL, &seed)) {
                return fail("'seed' takes one whole number from 0 to 4294967295");
            }
            script->seed = static_cast<std::uint32_t>(seed);
            anyCommand = true;
            continue;
        }
        anyCommand = true;
        if (op == "down" || op == "move") {
            long long x = 0;
            long long y = 0;
            if (w.size() != 3 || !ParseNumber(w[1], 0, 65535, &x) || !ParseNumber(w[2], 0, 65535, &y)) {
                return fail("'" + op + "' takes two whole numbers X Y from 0 to 65535");
            }
            ev.op = op == "down" ? ScriptOp::Down : ScriptOp::Move;
            ev.x = static_cast<int>(x);
            ev.y = static_cast<int>(y);
        } else if (op == "up") {
            if (w.size() != 1) {
                return fail("'up' takes no arguments");
            }
            ev.op = ScriptOp::Up;
        } else if (op == "command") {
            const std::size_t n = sizeof kCommands / sizeof kCommands[0];
            if (w.size() != 2 || !Lookup(kCommands, n, w[1], &ev.command)) {
                return fail("'command' takes one of: " + NameList(kCommands, n));
            }
            ev.op = ScriptOp::Command;
        } else if (op == "button") {
            const std::size_t n = sizeof kButtons / sizeof kButtons[0];
            int b = 0;
            if (w.size() != 2 || !Lookup(kButtons, n, w[1], &b)) {
                return fail("'button' takes one of: " + NameList(kButtons, n));
            }
            ev.op = ScriptOp::Button;
            ev.button = static_cast<HostButton>(b);
        } else {
            return fail("unknown command '" + op + "' (expected seed, down, move, up, command or button)");
        }
        script->events.push_back(ev);
    }
    return true;
}
