// The game kept between runs of the window: one file, replaced whole on every write, so a
// crash or a full disk leaves the last complete game and never half of one. No SDL here.
#pragma once

#include <cstdint>
#include <string>

#include "shell/handheld/strip.h"

// $XDG_STATE_HOME/vexalmini/game, else $HOME/.local/state/vexalmini/game; "" with neither.
// A relative XDG_STATE_HOME is ignored, as the base directory rules say.
std::string KeptGamePath(const char* xdgStateHome, const char* home);

enum class KeptRead : std::uint8_t { Missing, Text, Failed };
// Reads at most 64 KiB: anything longer is not a save of ours, and ReadSave says so.
KeptRead ReadKeptFile(const std::string& path, std::string* text, std::string* error);
// A new file beside `path`, written, flushed to the disk and renamed over it; the folders are
// made as needed (0700). On failure the old file is as it was.
bool WriteKeptFile(const std::string& path, const std::string& text, std::string* error);
// Renames the file to path.bad, or path.2.bad, path.3.bad... when that is taken; never over
// another file.
bool PutKeptFileAside(const std::string& path, std::string* aside, std::string* error);

// What the window does with the kept game: reads it at the start, keeps it aside when it is
// damaged, leaves a newer version's alone, writes it when it changed, and has a line for the
// player when something went wrong (once, not at every move).
class GameKeeper {
public:
    explicit GameKeeper(std::string path) : m_path(std::move(path)) {}

    // The kept text to open, or nullptr when there is none to open.
    const std::string* Load();
    // What the game made of the text Load gave.
    void Opened(SaveRead result);
    // After a change: writes the text when it differs from the last one written ("" when the
    // game cannot be kept now: the last save stands).
    void Keep(const std::string& text);
    // A line for the player, once; "" when none waits. Also said on standard error.
    std::string TakeMessage();

    [[nodiscard]] const std::string& Path() const { return m_path; }

private:
    void Tell(const std::string& line, const std::string& detail);

    std::string m_path;
    std::string m_text;  // what Load read
    std::string m_kept;  // what the file holds as far as this run knows
    bool m_writes = true;
    bool m_failureTold = false;
    std::string m_message;
};
