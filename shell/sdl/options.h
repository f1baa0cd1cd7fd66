// The command line of the native program.
#pragma once

#include <cstdint>
#include <string>

// The About box and --version say the same; VEXAL_VERSION is project()'s version, set by the build.
constexpr const char* kVersionLine = "VexalMini Version " VEXAL_VERSION;

struct Options {
    int scale = 2;
    bool hasSeed = false;
    std::uint32_t seed = 0;
    bool help = false;
    bool version = false;
};

// Returns false with a message for a bad command line.
bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error);
std::string UsageText(const char* program);
std::string VersionText();
