// Arbitrary text into vexal-replay's script reader. A rejected script must say where and why
// ("line N: ..."); an accepted one must read back the same from its own rewriting, and a
// bounded part of it is played with frames painted.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/replay/replay.h"
#include "shell/replay/script.h"
#include "tests/support/puzzle_invariants.h"

namespace {

constexpr std::size_t kMaxPlayedEvents = 48;

long long s_scripts = 0;
long long s_accepted = 0;
long long s_played = 0;

void PrintTotals() {
    std::fprintf(stderr, "replay_script_fuzzer: %lld scripts, %lld accepted, %lld events played\n", s_scripts,
                 s_accepted, s_played);
}

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "replay_script_fuzzer: %s\n--- script (%zu bytes) ---\n%s\n---\n", what.c_str(), text.size(),
                 text.c_str());
    std::abort();
}

int LineCount(const std::string& text) {
    int lines = 1;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

// "line N: message" with N a line of the text and a message after the colon.
void CheckError(const std::string& error, const std::string& text) {
    if (error.compare(0, 5, "line ") != 0) {
        Fail("error without a line: '" + error + "'", text);
    }
    std::size_t i = 5;
    long long n = 0;
    while (i < error.size() && error[i] >= '0' && error[i] <= '9' && i < 16) {
        n = n * 10 + (error[i] - '0');
        ++i;
    }
    if (i == 5 || error[5] == '0' || n < 1 || n > LineCount(text)) {
        Fail("error names no line of the script: '" + error + "'", text);
    }
    if (error.compare(i, 2, ": ") != 0 || error.size() <= i + 2) {
        Fail("error has no message after the line: '" + error + "'", text);
    }
}

// The script written back in its plainest form, by the replay's own writer; every accepted
// event must have a spelling, on the line it came from.
std::string Rewrite(const Script& script, const std::string& text) {
    int lastLine = 0;
    for (const ScriptEvent& ev : script.events) {
        if (ev.line <= lastLine || ev.line > LineCount(text)) {
            Fail("event line numbers out of order or past the end", text);
        }
        lastLine = ev.line;
    }
    std::string out;
    if (!WriteScript(script, &out)) {
        Fail("accepted an event that cannot be written back", text);
    }
    return out;
}

bool SameEvents(const Script& a, const Script& b) {
    if (a.seed != b.seed || a.events.size() != b.events.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.events.size(); ++i) {
        const ScriptEvent& p = a.events[i];
        const ScriptEvent& q = b.events[i];
        if (p.op != q.op || p.x != q.x || p.y != q.y || p.command != q.command || p.button != q.button ||
            q.line != static_cast<int>(i) + 2) {
            return false;
        }
    }
    return true;
}

// JSON of a played game: one object, balanced, no number that is not finite.
void CheckState(const std::string& json, const std::string& text) {
    int depth = 0;
    for (const char c : json) {
        depth += c == '{' || c == '[' ? 1 : 0;
        depth -= c == '}' || c == ']' ? 1 : 0;
        if (depth < 0) {
            Fail("state JSON closes more than it opens", text);
        }
    }
    if (json.empty() || json.front() != '{' || depth != 0) {
        Fail("state JSON is not one balanced object", text);
    }
    if (json.find("nan") != std::string::npos || json.find("inf") != std::string::npos ||
        json.find("null") != std::string::npos) {
        Fail("state JSON holds a number that is not finite", text);
    }
}

Replay* Player() {
    static Replay* replay = new Replay();  // one canvas for the whole run
    return replay;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = std::atexit(PrintTotals) == 0;
    (void)registered;
    ++s_scripts;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Script script;
    std::string error;
    if (!ParseScript(text, &script, &error)) {
        CheckError(error, text);
        return 0;
    }
    ++s_accepted;
    if (!error.empty()) {
        Fail("accepted script left an error behind: " + error, text);
    }
    const std::string again = Rewrite(script, text);
    Script reread;
    std::string rereadError;
    if (!ParseScript(again, &reread, &rereadError)) {
        Fail("rewritten script rejected: " + rereadError + "\n" + again, text);
    }
    if (!SameEvents(script, reread)) {
        Fail("rewritten script reads back differently:\n" + again, text);
    }

    if (script.events.size() > kMaxPlayedEvents) {
        script.events.resize(kMaxPlayedEvents);
    }
    Replay& replay = *Player();
    int frames = 0;
    static PieceCatalogue catalogue;
    std::string problem;
    const bool finished = replay.Run(script, [&](int index, const SoftCanvas&) {
        frames = index + 1;
        if (index == 0) {
            RecordStartPieces(replay.Game(), &catalogue);  // the fresh puzzle of this replay
        } else if (problem.empty()) {
            problem = CheckPuzzle(catalogue, replay.Game());
        }
        return true;
    });
    if (!problem.empty()) {
        Fail("puzzle check failed during the replay: " + problem, text);
    }
    s_played += static_cast<long long>(script.events.size());
    if (!finished || frames != static_cast<int>(script.events.size()) + 1) {
        Fail("replay painted " + std::to_string(frames) + " frames for " + std::to_string(script.events.size()) +
                 " events",
             text);
    }
    CheckState(replay.StateJson(), text);
    return 0;
}
