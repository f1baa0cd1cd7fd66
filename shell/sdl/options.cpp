#include "shell/sdl/options.h"

#include <cerrno>
#include <cstdlib>

#include "shell/handheld/layout.h"

namespace {

// Whole decimal numbers only; no sign, no trailing text, no overflow.
bool ParseUnsigned(const char* text, unsigned long max, unsigned long* value) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > max) {
        return false;
    }
    *value = v;
    return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--scale" || arg == "--seed" || arg == "--game";
        const std::string name = arg.substr(0, arg.find('='));
        const char* value = nullptr;
        if (takesValue) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        } else if ((name == "--scale" || name == "--seed" || name == "--game") && arg.size() > name.size()) {
            value = argv[i] + name.size() + 1;
        }
        unsigned long number = 0;
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--classic") {
            options->classic = true;
        } else if (name == "--game") {
            // Checked when the game opens: a bad link says why there and the game starts as usual.
            options->hasGame = true;
            options->game = value;
        } else if (name == "--scale") {
            if (!ParseUnsigned(value, kMaxScale, &number) || number < kMinScale) {
                *error = "--scale takes a whole number from 1 to 4";
                return false;
            }
            options->scale = static_cast<int>(number);
        } else if (name == "--seed") {
            if (!ParseUnsigned(value, 0xFFFFFFFFUL, &number)) {
                *error = "--seed takes a whole number from 0 to 4294967295";
                return false;
            }
            options->hasSeed = true;
            options->seed = static_cast<std::uint32_t>(number);
        } else {
            *error = "unknown argument: " + arg;
            return false;
        }
    }
    return true;
}

std::string UsageText(const char* program) {
    return std::string("Usage: ") + program +
           " [--scale N] [--seed N] [--game TEXT] [--classic]\n"
           "Plays VexalMini, the 2x2x2 twisting puzzle, in a window that shows the handheld's\n"
           "240 x 320 screen. The mouse is the stylus: drag a piece to turn its layer, drag\n"
           "beside the puzzle to turn the whole puzzle. A strip beside the screen has undo,\n"
           "redo, restart, shuffle, hints, a link to share, turns by buttons, moves and time;\n"
           "the game is kept in $XDG_STATE_HOME/vexalmini/ (~/.local/state/vexalmini/)\n"
           "between runs.\n"
           "\n"
           "Options:\n"
           "  --scale N    draw every screen pixel N x N (1 to 4; default 2)\n"
           "  --seed N     a new game whose shuffles come from N, not the kept game (for testing)\n"
           "  --game TEXT  open the game a shared link holds, not the kept game\n"
           "  --classic    the handheld alone: no strip, no new keys, no kept game\n"
           "  --help       show this text and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Keys: Ctrl+A About, Ctrl+Q quit, F1 help. Outside --classic also: U D L R F B turn\n"
           "a side clockwise (Shift: anticlockwise), X Y Z turn the whole puzzle (Shift: the\n"
           "other way), H a hint, Ctrl+Z undo, Ctrl+Y or Ctrl+Shift+Z redo.\n";
}

std::string VersionText() {
    return std::string(kVersionLine) + "\n";
}
