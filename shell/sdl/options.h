// The command line of the native program.
#pragma once

#include <cstdint>
#include <string>

struct Options {
    int scale = 2;
    bool hasSeed = false;
    std::uint32_t seed = 0;
    bool classic = false;  // the handheld alone: no strip, no new keys, nothing kept
    bool hasGame = false;
    std::string game;  // a game's link, as --game gives it
    bool help = false;
    bool version = false;
};

// Returns false with a message for a bad command line.
bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error);
std::string UsageText(const char* program);
std::string VersionText();
