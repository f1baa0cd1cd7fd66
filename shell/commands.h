// What each command, button and stylus message does, shared by every shell.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "platform/host.h"

// Command identifiers of the menu bar, the menu and the accelerators.
constexpr int IDM_CLOSE = 1;  // Ctrl+Q
constexpr int IDM_NEW = 40001;
constexpr int IDM_ABOUT = 40003;
constexpr int IDM_SHUFFLE = 40004;
constexpr int IDM_HELP = 40010;
constexpr int IDM_QUIT = 40022;
constexpr int IDM_QUIT_YES = 40025;
constexpr int IDM_QUIT_NO = 40026;
constexpr int IDM_CHANGE_SKIN = 40029;
constexpr int IDM_SIZE = 40030;

// What is left for the shell after the shared part of a command ran.
enum class ShellAction : std::uint8_t {
    None,        // handled; nothing more to do
    Invalidate,  // the picture changed: invalidate the frame
    PaintNow,    // the view was re-projected: paint at once
    OpenAbout,   // run the About box
    OpenHelp,    // start the help viewer on HelpTarget
    PostQuit,    // post the quit message with 0, keep the window
    Close,       // tell the window it is inactive, then close it
    Default,     // not ours: the platform's default handling
};

// "QZTVexalMini.htm#Main_Contents" for the Help command, "QZTVexal.htm#Main_Contents" for WM_HELP.
extern const char* const kHelpCommandTarget;
extern const char* const kHelpKeyTarget;

ShellAction RunCommand(PuzzleGame& game, int command);
ShellAction PressButton(PuzzleGame& game, HostButton button);

// Size steps in double, stored as float, clamped to 0.04..0.08.
void SizeStepDown();
void SizeStepUp();

// The stylus, with the message's raw coordinates (masked here to unsigned 16 bits).
// A move reaches the game only between a press and its release: a desktop mouse
// reports hovering, which the touch screen never does.
ShellAction StylusPressed(PuzzleGame& game, int x, int y);
ShellAction StylusMoved(PuzzleGame& game, int x, int y);
ShellAction StylusReleased(PuzzleGame& game);
bool IsStylusHeld();
// Back to no stylus held.
void ResetStylusRouting();

// A game from the start, every hidden state in one order: the puzzle built as the program builds
// it (with no host, as before a window exists, so nothing of an old host is called), then the
// host (may be null), then rand seeded with seed in place of the clock's seed the construction
// took, then no stylus held. Replays, drivers and tests start here.
void StartGame(std::uint32_t seed, Host* host);
