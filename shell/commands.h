// What each command and button does, shared by every shell. The stylus goes to the game's own
// StylusDown, StylusMove and StylusUp.
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
void SizeStepDown(float& scale);
void SizeStepUp(float& scale);
