// The Pocket PC shell library, entered by ordinal. Where the library is missing
// (desktop Windows, Wine) a stand-in with the same contract answers instead.
#pragma once

#include <windows.h>

#if defined(UNDER_CE)
using WinMainCommandLine = LPWSTR;
#else
using WinMainCommandLine = LPSTR;
#endif

// A desktop mouse can lose the capture in mid-drag (Alt+Tab, another window taking it),
// and its release then goes elsewhere or never comes. The device's stylus keeps it.
#if defined(UNDER_CE)
constexpr bool kCaptureCanBeLost = false;
#else
constexpr bool kCaptureCanBeLost = true;
#endif

// Activation record: size, window that last had the focus, state flags.
struct ShellActivateInfo {
    DWORD size;
    HWND lastFocus;
    DWORD flags;
};

// Menu-bar creation record.
struct ShellMenuBarInfo {
    DWORD size;
    HWND parent;
    DWORD flags;
    UINT menuBarId;
    HINSTANCE resources;
    int bitmapId;
    int bitmapImages;
    HWND menuBar;  // filled in by the shell
    COLORREF background;
};

// Dialog initialisation record.
struct ShellDialogInfo {
    DWORD mask;
    HWND dialog;
    DWORD flags;
};

constexpr DWORD kDialogMaskFlags = 0x1;
constexpr DWORD kDialogDoneButton = 0x1;
constexpr DWORD kDialogFullScreen = 0x4;
constexpr DWORD kDialogInputPanelDown = 0x8;

#if !defined(_WIN64)
// The device's records are made of 32-bit fields.
static_assert(sizeof(ShellActivateInfo) == 12, "activation record is 12 bytes");
static_assert(sizeof(ShellMenuBarInfo) == 36, "menu-bar record is 36 bytes");
static_assert(sizeof(ShellDialogInfo) == 12, "dialog record is 12 bytes");
#endif

// Ordinals 34, 56, 83 and 84 of aygshell.dll.
BOOL PocketCreateMenuBar(ShellMenuBarInfo* info);
BOOL PocketInitDialog(ShellDialogInfo* info);
BOOL PocketHandleSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info);
BOOL PocketHandleActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info, DWORD flags);

// Brings a running instance's window to the foreground together with the windows it owns.
void BringInstanceForward(HWND hwnd);

// Starts the help viewer "PegHelp.exe" with a file name and anchor; failures are not reported.
void StartHelpViewer(const wchar_t* target);
