// vexal-replay: plays an event script against VexalMini with no window.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "shell/replay/replay.h"

namespace {

const char* const kUsage = R"(Usage: vexal-replay SCRIPT [--state] [--frame FILE.png] [--frames DIR]

Plays an event script against VexalMini with no window, exactly as the handheld
would handle the same messages, and reports the result. SCRIPT is a file, or - for
standard input. With no option the state is printed.

Options:
  --state          print the final state as one JSON object on standard output
  --frame FILE     write the last painted frame (240 x 270) as a PNG file
  --frames DIR     write every painted frame as DIR/frame-00000.png, -00001, ...
                   (frame 0 is the start frame, after any seed; one more after
                   every other command)
  --help           show this text

Script: one command a line; '#' starts a comment; blank lines are ignored.
  seed N           only as the first command: the value given to srand at start
                   instead of the time seed (default 0); it decides the shuffles
  down X Y         stylus down at client point X Y (0..65535, as the window
                   procedure extracts them: unsigned 16 bits, so a point left of
                   or above the window is a large number)
  move X Y         stylus moved to X Y (reaches the game only while it is down)
  up               stylus lifted
  command NAME     a menu command: shuffle, change-skin, size, help, about, quit-no
                   (help and about open windows on a device; here they do nothing)
  button NAME      a button's message: shuffle, newskin, minus, plus, ok; it is
                   delivered whether or not the button is shown ("Shuffle" and
                   "New Skin" still act only while the puzzle is solved)

A frame is painted after start-up and after every command, so the painting order
in the state is that of the last frame, as on the device.

State keys: viewAngles [x, y, z], scale, skin, solved, dragMode, pressPending,
turnState, turnFace, turnAxis, turnAngles [x, y, z], turnRefAngle,
buttons {shuffle, newskin, sizeDown, sizeUp, sizeOk} (shown or not),
drawOrder [8 slots, back to front], pieces [8, by slot: x, y, z, sx, sy, sz (12
each), faceColour (7), stickerColour (3)], box {sx, sy, sz (8 each)}.
Floats are printed with 9 significant digits, so they read back to the same float.

Exit status: 0 done, 2 bad arguments or a bad script (the message names the line),
1 an output file could not be written. On any error no output file is left behind.

Example:
  printf 'seed 7\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95\nup\n' > s.txt
  vexal-replay s.txt --state --frame last.png
)";

int Usage(const std::string& message) {
    std::cerr << "vexal-replay: " << message << "\n(see vexal-replay --help)\n";
    return 2;
}

bool ReadAll(const std::string& path, std::string* text, std::string* error) {
    std::ostringstream buffer;
    if (path == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        buffer << in.rdbuf();
    }
    *text = buffer.str();
    return true;
}

std::string FramePath(const std::string& dir, int index) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "frame-%05d.png", index);
    return dir + "/" + name;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scriptPath;
    std::string framePath;
    std::string framesDir;
    bool state = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--state") {
            state = true;
        } else if (arg == "--frame" || arg == "--frames") {
            if (i + 1 >= argc) {
                return Usage(arg + " needs a path");
            }
            (arg == "--frame" ? framePath : framesDir) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return Usage("unknown option " + arg);
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return Usage("only one script, please (got " + scriptPath + " and " + arg +
                         ")");  // NOLINT(performance-inefficient-string-concatenation)
        }
    }
    if (scriptPath.empty()) {
        return Usage("no script given");
    }
    if (!state && framePath.empty() && framesDir.empty()) {
        state = true;
    }

    std::string text;
    std::string error;
    if (!ReadAll(scriptPath, &text, &error)) {
        return Usage(error);
    }
    Script script;
    if (!ParseScript(text, &script, &error)) {
        std::cerr << "vexal-replay: " << scriptPath << ": " << error << "\n";
        return 2;
    }
    if (!framesDir.empty()) {
        struct stat st {};
        if (stat(framesDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return Usage("--frames: " + framesDir + " is not a folder");
        }
    }

    // Frames are written as they are painted; on a failure every one written goes again.
    std::vector<std::string> written;
    auto removeWritten = [&written]() {
        for (const std::string& p : written) {
            (void)std::remove(p.c_str());
        }
    };
    Replay replay;
    const bool ok = replay.Run(script, [&](int index, const SoftCanvas& frame) {
        if (framesDir.empty()) {
            return true;
        }
        const std::string path = FramePath(framesDir, index);
        if (!WritePngRgb(path, frame.Rgb(), SoftCanvas::kWidth, SoftCanvas::kHeight, &error)) {
            return false;
        }
        written.push_back(path);
        return true;
    });
    if (ok && !framePath.empty()) {
        if (WritePngRgb(framePath, replay.Frame().Rgb(), SoftCanvas::kWidth, SoftCanvas::kHeight, &error)) {
            written.push_back(framePath);
        } else {
            removeWritten();
            std::cerr << "vexal-replay: " << error << "\n";
            return 1;
        }
    }
    if (!ok) {
        removeWritten();
        std::cerr << "vexal-replay: " << error << "\n";
        return 1;
    }
    if (state) {
        std::cout << replay.StateJson() << "\n";
    }
    return 0;
}
