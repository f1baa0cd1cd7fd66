// The event scripts of vexal-replay: one command a line, checked as each line comes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"

// A script may come from a pipe or a device that never ends a line; a longer line is refused
// rather than gathered.
constexpr std::size_t kMaxScriptLineBytes = 4096;

enum class ScriptOp : std::uint8_t { Down, Move, Up, Command, Button, Undo, Redo, Restart, Turn, Hint };

struct ScriptEvent {
    ScriptOp op;
    int x = 0;  // Down, Move: 0..65535
    int y = 0;
    int command = 0;  // Command: an IDM_ identifier
    HostButton button = HostButton::Shuffle;
    int side = 0;      // Turn: 0..5, the letters U D L R F B as the view shows them (ViewFace)
    int quarters = 0;  // Turn: 1..3 quarter turns clockwise as seen from that side
    int line = 0;      // 1-based line of the script
};

struct Script {
    std::uint32_t seed = 0;
    std::vector<ScriptEvent> events;
};

// Reads a script one line at a time, in order.
class ScriptParser {
public:
    enum class Result : std::uint8_t { Nothing, Event, Error };

    // One line without its '\n'. A trailing '\r' is dropped (CRLF files), and so is a UTF-8
    // byte order mark at the start of the first line. Event: *event is the line's event.
    // Nothing: a blank line, a comment, or the seed (see Seed). Error: *error is
    // "line N: what is wrong", with the script's own bytes escaped.
    Result Line(const std::string& line, ScriptEvent* event, std::string* error);
    // The seed line's value, 0 without one; it can only be the first command.
    [[nodiscard]] std::uint32_t Seed() const { return m_seed; }

private:
    int m_lineNo = 0;
    bool m_anyCommand = false;
    std::uint32_t m_seed = 0;
};

// Splits what is read from a file descriptor into lines, taking only what is there, so the
// first line is checked before the rest arrives. A line longer than kMaxScriptLineBytes is
// handed over cut one byte past the limit, for the parser to refuse; stop reading there.
class ScriptLines {
public:
    explicit ScriptLines(int fd) : m_fd(fd) {}

    // The next line without its '\n'; false at the end, or on a read error (see Errno).
    bool Next(std::string* line);
    // The errno of a failed read, 0 if none.
    [[nodiscard]] int Errno() const { return m_errno; }

private:
    int m_fd;
    char m_buffer[65536] = {};
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_done = false;
    int m_errno = 0;
};

// A whole script given as text (tests, benchmarks, the fuzzer), by the same rules.
bool ParseScript(const std::string& text, Script* script, std::string* error);

// The line, without '\n', that reads back as the event; false for a point outside 0..65535 or
// a command or button that scripts have no name for.
bool WriteScriptEvent(const ScriptEvent& event, std::string* line);
// The script in its plainest form: the seed line, then one line per event.
bool WriteScript(const Script& script, std::string* text);
