// vexal-replay: plays an event script against VexalMini with no window.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "platform/std_output.h"
#include "shell/link.h"
#include "shell/replay/printable.h"
#include "shell/replay/replay.h"

namespace {

const char* const kUsage = R"(Usage: vexal-replay [SCRIPT] [--game LINK] [--state] [--link] [--solve]
                    [--frame FILE.png] [--frames DIR]

Plays an event script against VexalMini with no window, exactly as the handheld
would handle the same messages, and reports the result. SCRIPT is a file, or - for
standard input. With no option the state is printed.

Options:
  --game LINK      start from the game a link describes (the text after #g= in
                   the page's address, or what --link prints) instead of a new
                   game; the script, if any, goes on from there and takes no seed
  --state          print the final state as one JSON object on standard output
  --link           print the game's link at the end, on a line of its own (after
                   the state when both are asked for); exit 1 when the moves since
                   the shuffle reach back further than the game keeps them
  --solve          print an optimal solution from the end position, one move a
                   line, in the link's notation (F B L R U D: the sides as the
                   puzzle starts; upper case clockwise, lower case anticlockwise,
                   "2" half round); nothing for a solved puzzle
  --frame FILE     write the last painted frame (240 x 270) as a PNG file. A file
                   (or the file a link points at) is replaced whole, only once
                   the new one is complete; a FIFO or a device such as /dev/stdout
                   is written directly; a folder, a socket or a link to nothing
                   is refused
  --frames DIR     write every painted frame as DIR/frame-00000.png, -00001, ...
                   (frame 0 is the start frame, after any seed; one more after
                   every other command). DIR must exist and hold no frame-*.png
                   yet, so that two runs' frames never mix
  --help           show this text
  --version        show the version

Script: one command a line; '#' starts a comment; blank lines are ignored. Lines
may end in CRLF, and a UTF-8 byte order mark may open the file. Each line is
checked as it is read, and a line longer than 4096 bytes is refused: the first
bad line ends the run.
  seed N           only as the first command: the value given to srand at start
                   instead of the time seed (default 0); it decides the shuffles
  down X Y         stylus down at client point X Y (0..65535, as the window
                   procedure extracts them: unsigned 16 bits, so on the handheld
                   a point left of or above the window is a large number; the
                   game's own windows send 0 there)
  move X Y         stylus moved to X Y (reaches the game only while it is down)
  up               stylus lifted
  command NAME     a menu command: shuffle, change-skin, size, help, about, quit-no
                   (help and about open windows on a device; here they do nothing)
  undo, redo       undo the last move, redo the last move undone
  restart          back to the pieces as the last shuffle left them (undoable)
  hint             play one optimal move, as a move like any other
  turn SIDE N      turn a side as the view shows it now (U D L R F B: up, down,
                   left, right, front, back) N quarter turns (1 to 3) clockwise as
                   seen from outside that side, as the keys and the strip do
  button NAME      a button's message: shuffle, newskin, minus, plus, ok; it is
                   delivered whether or not the button is shown ("Shuffle" and
                   "New Skin" still act only while the puzzle is solved)

A frame is painted after start-up and after every command, so the painting order
in the state is that of the last frame, as on the device.

State keys: viewAngles [x, y, z], scale, skin, solved, dragMode, pressPending,
turnState, turnFace, turnAxis, turnAngles [x, y, z], turnRefAngle, moves (the
moves since the shuffle: undo lowers it, restart clears it), distance (optimal
moves from the end position to solved), par (the same from the position the last
shuffle left; 0 before any shuffle),
buttons {shuffle, newskin, sizeDown, sizeUp, sizeOk} (shown or not),
drawOrder [8 slots, back to front], pieces [8, by slot: x, y, z, sx, sy, sz (12
each), faceColour (7), stickerColour (3)], box {sx, sy, sz (8 each)}.
Floats are printed with 9 significant digits, so they read back to the same float.

Exit status: 0 done; 2 bad arguments, a script that cannot be read, or a bad script
(the message names the line); 1 an output file or standard output could not be
written. On any error the files this run created are removed again; nothing that
was there before is deleted.

Example:
  printf 'seed 7\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95\nup\n' > s.txt
  vexal-replay s.txt --state --frame last.png
)";

// VEXAL_VERSION is project()'s version, set by the build.
const char* const kVersionLine = "vexal-replay (VexalMini) " VEXAL_VERSION "\n";

// Every message goes through here: names and script text may hold bytes that steer a terminal.
void Complain(const std::string& message) {
    std::cerr << "vexal-replay: " << Printable(message) << "\n";
}

int Usage(const std::string& message) {
    Complain(message);
    std::cerr << "(see vexal-replay --help)\n";
    return 2;
}

std::string FramePath(const std::string& dir, int index) {
    char name[32];
    (void)std::snprintf(name, sizeof name, "frame-%05d.png", index);
    return dir + "/" + name;
}

// A folder for --frames must exist and hold no frames yet: two runs' frames are never mixed,
// and nothing that was there before is ever deleted.
bool CheckFramesFolder(const std::string& dir, std::string* error) {
    DIR* folder = opendir(dir.c_str());
    if (folder == nullptr) {
        *error = "--frames: " + dir + " is not a folder (" + std::strerror(errno) + ")";
        return false;
    }
    std::string found;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() > 10 && name.compare(0, 6, "frame-") == 0 && name.compare(name.size() - 4, 4, ".png") == 0) {
            found = name;
            break;
        }
    }
    closedir(folder);
    if (!found.empty()) {
        *error = "--frames: " + dir + " already holds frames (" + found +
                 "); choose another folder, or remove the old frames first";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scriptPath;
    std::string framePath;
    std::string framesDir;
    std::string gameLink;
    bool haveGame = false;
    bool printLink = false;
    bool solve = false;
    bool state = false;
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            std::string error;
            if (!WriteStdout(arg == "--version" ? kVersionLine : kUsage, &error)) {
                Complain(error);
                return 1;
            }
            return 0;
        }
        if (arg == "--state") {
            state = true;
        } else if (arg == "--link") {
            printLink = true;
        } else if (arg == "--solve") {
            solve = true;
        } else if (arg == "--game") {
            if (i + 1 >= argc) {
                return Usage("--game needs the text of a link");
            }
            gameLink = argv[++i];
            haveGame = true;
        } else if (arg == "--frame" || arg == "--frames") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                return Usage(arg + " needs a path");
            }
            (arg == "--frame" ? framePath : framesDir) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return Usage("unknown option " + arg);
        } else if (arg.empty()) {
            return Usage("the script's path is empty");
        } else if (!haveScript) {
            scriptPath = arg;
            haveScript = true;
        } else {
            return Usage("only one script, please (got " + scriptPath + " and " + arg +
                         ")");  // NOLINT(performance-inefficient-string-concatenation)
        }
    }
    if (!haveScript && !haveGame) {
        return Usage("no script given");
    }
    if (!state && framePath.empty() && framesDir.empty() && !printLink && !solve) {
        state = true;
    }
    std::string error;
    Replay replay;
    if (haveGame) {
        // Checked before anything is read or written, like any bad argument.
        if (!replay.BeginWithLink(gameLink, nullptr, &error)) {
            return Usage("--game: " + error);
        }
    }
    if (!framesDir.empty() && !CheckFramesFolder(framesDir, &error)) {
        return Usage(error);
    }
    const int fd = !haveScript ? -1 : scriptPath == "-" ? STDIN_FILENO : open(scriptPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (haveScript && fd < 0) {
        return Usage("cannot read " + scriptPath + ": " + std::strerror(errno));
    }

    // Files this run made, and only those, go again when it fails.
    std::vector<std::string> created;
    auto fail = [&created](const std::string& message, int status) {
        for (const std::string& p : created) {
            (void)std::remove(p.c_str());
        }
        Complain(message);
        return status;
    };
    const FrameSink sink = [&](int index, const SoftCanvas& frame) {
        if (framesDir.empty()) {
            return true;
        }
        const std::string path = FramePath(framesDir, index);
        if (!WritePngRgb(path, frame.Rgb(), SoftCanvas::kWidth, SoftCanvas::kHeight, &error, PngTarget::NewFile)) {
            return false;
        }
        created.push_back(path);
        return true;
    };

    // Played as it is read: a bad line stops the run at once, whatever follows it. On a game
    // from a link the script's events go on from it.
    ScriptParser parser;
    auto begin = [&]() {
        return haveGame ? replay.BeginWithLink(gameLink, sink, &error) : replay.Begin(parser.Seed(), sink);
    };
    ScriptLines lines(fd);
    bool started = false;
    std::string line;
    while (haveScript && lines.Next(&line)) {
        ScriptEvent event{};
        const ScriptParser::Result result = parser.Line(line, &event, &error);
        if (result == ScriptParser::Result::Error) {
            return fail(scriptPath + ": " + error, 2);
        }
        if (haveGame && parser.Seed() != 0) {
            return fail(scriptPath + ": a script played on --game has the link's generator; it takes no seed", 2);
        }
        if (result == ScriptParser::Result::Event) {
            if ((!started && !begin()) || !replay.Play(event, sink)) {
                return fail(error, 1);
            }
            started = true;
        }
    }
    if (haveScript && lines.Errno() != 0) {
        return fail("cannot read " + scriptPath + ": " + std::strerror(lines.Errno()), 2);
    }
    if (!started && !begin()) {
        return fail(error, 1);
    }
    if (!framePath.empty()) {
        struct stat st {};
        const bool isNew = lstat(framePath.c_str(), &st) != 0 && errno == ENOENT;
        if (!WritePngRgb(framePath, replay.Frame().Rgb(), SoftCanvas::kWidth, SoftCanvas::kHeight, &error)) {
            return fail(error, 1);
        }
        if (isNew) {
            created.push_back(framePath);
        }
    }
    if (state && !WriteStdout(replay.StateJson() + "\n", &error)) {
        return fail(error, 1);
    }
    std::string link;
    if (printLink && !MakeLink(replay.Game(), &link, &error)) {
        return fail(error, 1);
    }
    if (printLink && !WriteStdout(link + "\n", &error)) {
        return fail(error, 1);
    }
    if (solve && !WriteStdout(replay.SolutionText(), &error)) {
        return fail(error, 1);
    }
    return 0;
}
