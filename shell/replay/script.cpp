#include "shell/replay/script.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "shell/commands.h"
#include "shell/replay/printable.h"

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

// The sides of the view, in the order of ViewFace.
constexpr const char* kSides = "UDLRFB";

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

const char* NameOf(const Named* table, std::size_t count, int value) {
    for (std::size_t i = 0; i < count; ++i) {
        if (table[i].value == value) {
            return table[i].name;
        }
    }
    return nullptr;
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

ScriptParser::Result ScriptParser::Line(const std::string& line, ScriptEvent* event, std::string* error) {
    ++m_lineNo;
    auto fail = [&](const std::string& what) {
        *error = "line " + std::to_string(m_lineNo) + ": " + what;
        return Result::Error;
    };
    if (line.size() > kMaxScriptLineBytes) {
        return fail("longer than " + std::to_string(kMaxScriptLineBytes) + " bytes");
    }
    std::size_t begin = 0;
    std::size_t end = line.size();
    if (m_lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        begin = 3;  // the byte order mark Windows editors write
    }
    if (end > begin && line[end - 1] == '\r') {
        --end;
    }
    const std::size_t hash = line.find('#', begin);
    const std::vector<std::string> w = Words(line.substr(begin, std::min(hash, end) - begin));
    if (w.empty()) {
        return Result::Nothing;
    }
    const std::string& op = w[0];
    ScriptEvent ev{};
    ev.line = m_lineNo;
    if (op == "seed") {
        long long seed = 0;
        if (m_anyCommand) {
            return fail("'seed' may only be the first command");
        }
        if (w.size() != 2 || !ParseNumber(w[1], 0, 4294967295LL, &seed)) {
            return fail("'seed' takes one whole number from 0 to 4294967295");
        }
        m_seed = static_cast<std::uint32_t>(seed);
        m_anyCommand = true;
        return Result::Nothing;
    }
    m_anyCommand = true;
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
    } else if (op == "undo" || op == "redo" || op == "restart" || op == "hint") {
        if (w.size() != 1) {
            return fail("'" + op + "' takes no arguments");
        }
        ev.op = op == "undo"      ? ScriptOp::Undo
                : op == "redo"    ? ScriptOp::Redo
                : op == "restart" ? ScriptOp::Restart
                                  : ScriptOp::Hint;
    } else if (op == "turn") {
        const char* side = w.size() == 3 && w[1].size() == 1 ? std::strchr(kSides, w[1][0]) : nullptr;
        long long quarters = 0;
        if (side == nullptr || w[1][0] == '\0' || !ParseNumber(w[2], 1, 3, &quarters)) {
            return fail("'turn' takes a side (U, D, L, R, F or B) and quarter turns clockwise (1, 2 or 3)");
        }
        ev.op = ScriptOp::Turn;
        ev.side = static_cast<int>(side - kSides);
        ev.quarters = static_cast<int>(quarters);
    } else {
        return fail("unknown command '" + Printable(op) +
                    "' (expected seed, down, move, up, command, button, undo, redo, restart, turn or hint)");
    }
    *event = ev;
    return Result::Event;
}

bool ScriptLines::Next(std::string* line) {
    line->clear();
    for (;;) {
        if (m_pos == m_len) {
            if (m_done) {
                return !line->empty();
            }
            const ssize_t got = read(m_fd, m_buffer, sizeof m_buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            m_pos = 0;
            m_len = got > 0 ? static_cast<std::size_t>(got) : 0;
            if (got <= 0) {
                m_done = true;
                m_errno = got < 0 ? errno : 0;
                return m_errno == 0 && !line->empty();
            }
        }
        const char* from = m_buffer + m_pos;
        const auto* newline = static_cast<const char*>(std::memchr(from, '\n', m_len - m_pos));
        const std::size_t take = newline != nullptr ? static_cast<std::size_t>(newline - from) : m_len - m_pos;
        const std::size_t room = kMaxScriptLineBytes + 1 - line->size();
        if (take >= room) {
            line->append(from, room);  // too long: enough for the parser to say so
            m_pos += room;
            return true;
        }
        line->append(from, take);
        m_pos += take;
        if (newline != nullptr) {
            ++m_pos;
            return true;
        }
    }
}

bool ParseScript(const std::string& text, Script* script, std::string* error) {
    *script = Script{};
    ScriptParser parser;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t newline = text.find('\n', at);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        ScriptEvent ev{};
        const ScriptParser::Result result = parser.Line(text.substr(at, end - at), &ev, error);
        if (result == ScriptParser::Result::Error) {
            return false;
        }
        if (result == ScriptParser::Result::Event) {
            script->events.push_back(ev);
        }
        at = end + 1;
    }
    script->seed = parser.Seed();
    return true;
}

bool WriteScriptEvent(const ScriptEvent& event, std::string* line) {
    const char* name = nullptr;
    switch (event.op) {
        case ScriptOp::Down:
        case ScriptOp::Move:
            if (event.x < 0 || event.x > 65535 || event.y < 0 || event.y > 65535) {
                return false;
            }
            *line = (event.op == ScriptOp::Down ? "down " : "move ") + std::to_string(event.x) + " " +
                    std::to_string(event.y);
            return true;
        case ScriptOp::Up:
            *line = "up";
            return true;
        case ScriptOp::Command:
            name = NameOf(kCommands, sizeof kCommands / sizeof kCommands[0], event.command);
            *line = name != nullptr ? std::string("command ") + name : std::string();
            return name != nullptr;
        case ScriptOp::Button:
            name = NameOf(kButtons, sizeof kButtons / sizeof kButtons[0], static_cast<int>(event.button));
            *line = name != nullptr ? std::string("button ") + name : std::string();
            return name != nullptr;
        case ScriptOp::Undo:
            *line = "undo";
            return true;
        case ScriptOp::Redo:
            *line = "redo";
            return true;
        case ScriptOp::Restart:
            *line = "restart";
            return true;
        case ScriptOp::Hint:
            *line = "hint";
            return true;
        case ScriptOp::Turn:
            if (event.side < 0 || event.side > 5 || event.quarters < 1 || event.quarters > 3) {
                return false;
            }
            *line = std::string("turn ") + kSides[event.side] + " " + std::to_string(event.quarters);
            return true;
    }
    return false;
}

bool WriteScript(const Script& script, std::string* text) {
    *text = "seed " + std::to_string(script.seed) + "\n";
    std::string line;
    for (const ScriptEvent& event : script.events) {
        if (!WriteScriptEvent(event, &line)) {
            return false;
        }
        *text += line + "\n";
    }
    return true;
}
