#include "shell/commands.h"

#include "interaction/shuffle.h"
#include "model/puzzle.h"
#include "platform/crt_rand.h"
#include "render/projection.h"

const char* const kHelpCommandTarget = "QZTVexalMini.htm#Main_Contents";
const char* const kHelpKeyTarget = "QZTVexal.htm#Main_Contents";

namespace {

bool s_stylusHeld = false;

void ToggleSkin() {
    g_skin = g_skin == Skin::Plain ? Skin::Stickers : Skin::Plain;
}

void ShuffleAndInvalidate(PuzzleGame& game) {
    ShuffleCube(game);
    HostInvalidateFrame();
}

}  // namespace

ShellAction RunCommand(PuzzleGame& game, int command) {
    switch (command) {
        case IDM_CLOSE:
            return ShellAction::Close;
        case IDM_ABOUT:
            return ShellAction::OpenAbout;
        case IDM_SHUFFLE:
            ShuffleAndInvalidate(game);
            return ShellAction::None;
        case IDM_HELP:
            return ShellAction::OpenHelp;
        case IDM_QUIT_YES:
            return ShellAction::PostQuit;
        case IDM_CHANGE_SKIN:
            ToggleSkin();
            ShuffleAndInvalidate(game);
            return ShellAction::None;
        case IDM_SIZE:
            HostShowButton(HostButton::SizeUp, true);
            HostShowButton(HostButton::SizeDown, true);
            HostShowButton(HostButton::SizeOk, true);
            return ShellAction::None;
        default:
            return ShellAction::Default;
    }
}

ShellAction PressButton(PuzzleGame& game, HostButton button) {
    switch (button) {
        case HostButton::Shuffle:
            if (g_solved != 0) {
                ShuffleAndInvalidate(game);
            }
            return ShellAction::None;
        case HostButton::NewSkin:
            if (g_solved != 0) {
                ToggleSkin();
                ShuffleAndInvalidate(game);
            }
            return ShellAction::None;
        case HostButton::SizeOk:
            HostShowButton(HostButton::SizeUp, false);
            HostShowButton(HostButton::SizeDown, false);
            HostShowButton(HostButton::SizeOk, false);
            return ShellAction::None;
        case HostButton::SizeDown:
            SizeStepDown();
            RefreshView(game);
            return ShellAction::PaintNow;
        case HostButton::SizeUp:
            SizeStepUp();
            RefreshView(game);
            return ShellAction::PaintNow;
    }
    return ShellAction::None;
}

void SizeStepDown() {
    g_scale = static_cast<float>(static_cast<double>(g_scale) - 0.01);
    if (static_cast<double>(g_scale) < 0.04) {
        g_scale = 0.04F;
    }
}

void SizeStepUp() {
    g_scale = static_cast<float>(static_cast<double>(g_scale) + 0.01);
    if (static_cast<double>(g_scale) > 0.08) {
        g_scale = 0.08F;
    }
}

ShellAction StylusPressed(PuzzleGame& game, int x, int y) {
    s_stylusHeld = true;
    game.StylusDown(x & 0xFFFF, y & 0xFFFF, false);
    HostInvalidateFrame();
    return ShellAction::None;
}

ShellAction StylusMoved(PuzzleGame& game, int x, int y) {
    if (!s_stylusHeld) {
        return ShellAction::None;
    }
    return game.StylusMove(x & 0xFFFF, y & 0xFFFF) ? ShellAction::PaintNow : ShellAction::None;
}

ShellAction StylusReleased(PuzzleGame& game) {
    s_stylusHeld = false;
    game.StylusUp();
    HostInvalidateFrame();
    return ShellAction::None;
}

bool IsStylusHeld() {
    return s_stylusHeld;
}

void ResetStylusRouting() {
    s_stylusHeld = false;
}

void StartGame(std::uint32_t seed, Host* host) {
    SetHost(nullptr);
    ResetPuzzle();
    SetHost(host);
    CrtSrand(seed);
    ResetStylusRouting();
}
