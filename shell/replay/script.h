// The event scripts of vexal-replay: one command a line, read whole before anything runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"

enum class ScriptOp : std::uint8_t { Down, Move, Up, Command, Button };

struct ScriptEvent {
    ScriptOp op;
    int x = 0;  // Down, Move: 0..65535
    int y = 0;
    int command = 0;  // Command: an IDM_ identifier
    HostButton button = HostButton::Shuffle;
    int line = 0;  // 1-based line of the script
};

struct Script {
    std::uint32_t seed = 0;
    std::vector<ScriptEvent> events;
};

// Reads a whole script. On a bad line returns false with "line N: what is wrong" in *error.
bool ParseScript(const std::string& text, Script* script, std::string* error);
