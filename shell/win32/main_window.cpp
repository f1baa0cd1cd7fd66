// The window procedure, the menu bar and the About box.
#include "resources/vexalmini_resource.h"
#include "shell/commands.h"
#include "shell/win32/paint_frame.h"
#include "shell/win32/shell_globals.h"

static_assert(RC_IDM_CLOSE == IDM_CLOSE && RC_IDM_NEW == IDM_NEW && RC_IDM_ABOUT == IDM_ABOUT &&
                  RC_IDM_SHUFFLE == IDM_SHUFFLE && RC_IDM_HELP == IDM_HELP && RC_IDM_QUIT == IDM_QUIT &&
                  RC_IDM_QUIT_YES == IDM_QUIT_YES && RC_IDM_QUIT_NO == IDM_QUIT_NO &&
                  RC_IDM_CHANGE_SKIN == IDM_CHANGE_SKIN && RC_IDM_SIZE == IDM_SIZE,
              "the resources and the commands name the same identifiers");

namespace {

constexpr int kHelpTargetLength = 64;

void OpenHelp(const char* target) {
    wchar_t wide[kHelpTargetLength];
    int i = 0;
    for (; target[i] != '\0' && i < kHelpTargetLength - 1; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(target[i]));
    }
    wide[i] = L'\0';
    StartHelpViewer(wide);
}

void OpenAbout(HWND hwnd) {
    const HRSRC found = FindResourceW(g_hInst, MAKEINTRESOURCEW(IDD_ABOUT), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found != nullptr ? LoadResource(g_hInst, found) : nullptr;
    if (loaded == nullptr) {
        return;  // nothing is reported
    }
    DialogBoxIndirectParamW(g_hInst, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), hwnd, AboutDlgProc, 0);
}

// Returns true when the action asked for the platform's default handling.
bool Perform(ShellAction action, HWND hwnd) {
    switch (action) {
        case ShellAction::None:
            break;
        case ShellAction::Invalidate:
            g_game->InvalidateFrame();
            break;
        case ShellAction::PaintNow:
            PaintFrame(*g_game, hwnd);
            break;
        case ShellAction::OpenAbout:
            OpenAbout(hwnd);
            break;
        case ShellAction::OpenHelp:
            OpenHelp(kHelpCommandTarget);
            break;
        case ShellAction::PostQuit:
            PostQuitMessage(0);
            break;
        case ShellAction::Close:
            SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case ShellAction::Default:
            return true;
    }
    return false;
}

// A stylus coordinate from the message's 16 bits. The system sends a captured point left of
// or above the client area as a negative number; that stops at the edge (0), since the game
// would take it unsigned, near 65535, and a drag crossing the edge would flip the puzzle.
int StylusCoordinate(WORD word) {
    const int value = static_cast<short>(word);
    return value < 0 ? 0 : value;
}

// Each button is tested on its own; a handle matches at most one, but all are tried.
void ButtonCommand(HWND hwnd, LPARAM lParam) {
    const HWND sender = reinterpret_cast<HWND>(lParam);
    const struct {
        HWND handle;
        HostButton button;
    } buttons[] = {
        {g_hwndShuffle, HostButton::Shuffle}, {g_hwndNewSkin, HostButton::NewSkin},
        {g_hwndSizeOk, HostButton::SizeOk},   {g_hwndSizeDown, HostButton::SizeDown},
        {g_hwndSizeUp, HostButton::SizeUp},
    };
    for (const auto& b : buttons) {
        if (sender == b.handle) {
            Perform(PressButton(*g_game, b.button), hwnd);
        }
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            g_hwndMenuBar = CreateMenuBar(hwnd);
            g_activateInfo.lastFocus = nullptr;
            g_activateInfo.flags = 0;
            g_activateInfo.size = sizeof(ShellActivateInfo);
            CreateLogFile();
            return 0;
        case WM_DESTROY:
            DestroyWindow(g_hwndMenuBar);
            PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            PocketHandleActivate(hwnd, wParam, lParam, &g_activateInfo, 0);
            return 0;
        case WM_PAINT:
            PaintFrame(*g_game, hwnd);
            return 0;
        case WM_SETTINGCHANGE:
            PocketHandleSettingChange(hwnd, wParam, lParam, &g_activateInfo);
            return 0;
        case WM_HELP:
            OpenHelp(kHelpKeyTarget);
            return 0;
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == 0) {
                ButtonCommand(hwnd, lParam);
                return 0;
            }
            if (Perform(RunCommand(*g_game, command), hwnd)) {
                return DefWindowProcW(hwnd, message, wParam, lParam);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (g_game->StylusMove(StylusCoordinate(LOWORD(lParam)), StylusCoordinate(HIWORD(lParam)))) {
                PaintFrame(*g_game, hwnd);
            }
            return 0;
        case WM_LBUTTONDOWN:
            SetCapture(g_hwndMain);
            g_game->StylusDown(StylusCoordinate(LOWORD(lParam)), StylusCoordinate(HIWORD(lParam)));
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            // Where the capture can be lost, letting it go has ended the drag already
            // (WM_CAPTURECHANGED), and a release with no drag held ends nothing.
            if (!kCaptureCanBeLost || g_game->IsStylusHeld()) {
                g_game->StylusUp();
            }
            return 0;
        case WM_CAPTURECHANGED:
            // Taken away in mid-drag: end the drag as the release would have.
            if (kCaptureCanBeLost && g_game->IsStylusHeld() && reinterpret_cast<HWND>(lParam) != hwnd) {
                g_game->StylusUp();
                return 0;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND CreateMenuBar(HWND hwnd) {
    ShellMenuBarInfo info;
    info.size = sizeof(ShellMenuBarInfo);
    info.parent = hwnd;
    info.flags = 0;
    info.menuBarId = IDR_MENU_BAR;
    info.resources = g_hInst;
    info.bitmapId = 0;
    info.bitmapImages = 0;
    info.menuBar = nullptr;
    info.background = 0;
    if (PocketCreateMenuBar(&info) == FALSE) {
        return nullptr;
    }
    return info.menuBar;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG: {
            ShellDialogInfo info;
            info.mask = kDialogMaskFlags;
            info.dialog = dialog;
            info.flags = kDialogDoneButton | kDialogFullScreen | kDialogInputPanelDown;
            PocketInitDialog(&info);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dialog, 1);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}
