#include "shell/commands.h"

#include "interaction/shuffle.h"
#include "model/puzzle.h"
#include "render/projection.h"

const char* const kHelpCommandTarget = "QZTVexalMini.htm#Main_Contents";
const char* const kHelpKeyTarget = "QZTVexal.htm#Main_Contents";

namespace {

void ToggleSkin(PuzzleGame& game) {
    game.m_skin = game.m_skin == Skin::Plain ? Skin::Stickers : Skin::Plain;
}

void ShuffleAndInvalidate(PuzzleGame& game) {
    ShuffleCube(game);
    game.InvalidateFrame();
}

void ShowSizeButtons(PuzzleGame& game, bool show) {
    game.ShowButton(HostButton::SizeUp, show);
    game.ShowButton(HostButton::SizeDown, show);
    game.ShowButton(HostButton::SizeOk, show);
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
            ToggleSkin(game);
            ShuffleAndInvalidate(game);
            return ShellAction::None;
        case IDM_SIZE:
            ShowSizeButtons(game, true);
            return ShellAction::None;
        default:
            return ShellAction::Default;
    }
}

ShellAction PressButton(PuzzleGame& game, HostButton button) {
    switch (button) {
        case HostButton::Shuffle:
            if (game.m_solved != 0) {
                ShuffleAndInvalidate(game);
            }
            return ShellAction::None;
        case HostButton::NewSkin:
            if (game.m_solved != 0) {
                ToggleSkin(game);
                ShuffleAndInvalidate(game);
            }
            return ShellAction::None;
        case HostButton::SizeOk:
            ShowSizeButtons(game, false);
            return ShellAction::None;
        case HostButton::SizeDown:
            SizeStepDown(game.m_scale);
            RefreshView(game);
            return ShellAction::PaintNow;
        case HostButton::SizeUp:
            SizeStepUp(game.m_scale);
            RefreshView(game);
            return ShellAction::PaintNow;
    }
    return ShellAction::None;
}

void SizeStepDown(float& scale) {
    scale = static_cast<float>(static_cast<double>(scale) - 0.01);
    if (static_cast<double>(scale) < 0.04) {
        scale = 0.04F;
    }
}

void SizeStepUp(float& scale) {
    scale = static_cast<float>(static_cast<double>(scale) + 0.01);
    if (static_cast<double>(scale) > 0.08) {
        scale = 0.08F;
    }
}
