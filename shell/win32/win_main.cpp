// Start-up: the one-instance rule, the main window and its buttons, the message loop.
#include <new>

#include "resources/vexalmini_resource.h"
#include "shell/win32/shell_globals.h"
#include "shell/win32/win32_host.h"

HINSTANCE g_hInst = nullptr;
HWND g_hwndMain = nullptr;
HWND g_hwndMenuBar = nullptr;
HWND g_hwndShuffle = nullptr;
HWND g_hwndNewSkin = nullptr;
HWND g_hwndSizeDown = nullptr;
HWND g_hwndSizeUp = nullptr;
HWND g_hwndSizeOk = nullptr;
RECT g_clientRect = {0, 0, 0, 0};
PuzzleGame* g_game = nullptr;
ShellActivateInfo g_activateInfo = {0, nullptr, 0};

namespace {

constexpr int kTextBuffer = 100;
constexpr DWORD kButtonStyle = 0x1000;
constexpr int kMenuBarHeight = 26;

struct ButtonLayout {
    HWND* handle;
    const wchar_t* text;
    int x;
    int y;
    int width;
    int height;
};

// Separate windows owned by the main window: x and y are screen coordinates.
const ButtonLayout kButtons[] = {
    {&g_hwndShuffle, L"Shuffle", 0, 0, 120, 20}, {&g_hwndNewSkin, L"New Skin", 120, 0, 120, 20},
    {&g_hwndSizeDown, L"-", 0, 212, 30, 20},     {&g_hwndSizeUp, L"+", 0, 231, 30, 20},
    {&g_hwndSizeOk, L"OK", 0, 250, 30, 20},
};

}  // namespace

ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSW wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VEXALMINI));
    wc.hCursor = nullptr;
    wc.hbrBackground = CreateSolidBrush(0x800000);  // lives as long as the class
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = className;
    return RegisterClassW(&wc);
}

void CreateLogFile() {
    const HANDLE file = CreateFileW(L"vmlog.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

bool StartInstance(HINSTANCE instance, int showCommand) {
    g_hInst = instance;

    wchar_t className[kTextBuffer];
    wchar_t title[kTextBuffer];
    LoadStringW(instance, IDS_CLASS_NAME, className, kTextBuffer);
    LoadStringW(instance, IDS_TITLE, title, kTextBuffer);

    const HWND running = FindWindowW(className, title);
    if (running != nullptr) {
        BringInstanceForward(running);
        g_hwndMain = running;
        return false;
    }

    RegisterMainClass(instance, className);

    g_hwndMain = CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (g_hwndMain == nullptr) {
        return false;
    }

    for (const ButtonLayout& b : kButtons) {
        *b.handle = CreateWindowExW(0, L"BUTTON", b.text, kButtonStyle, b.x, b.y, b.width, b.height, g_hwndMain,
                                    nullptr, instance, nullptr);
    }

    // The right coordinate goes in as the width and the bottom less the bar as the height.
    RECT r;
    GetWindowRect(g_hwndMain, &r);
    if (g_hwndMenuBar != nullptr) {
        MoveWindow(g_hwndMain, r.left, r.top, r.right, r.bottom - kMenuBarHeight, FALSE);
    }

    ShowWindow(g_hwndMain, showCommand);
    UpdateWindow(g_hwndMain);
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, WinMainCommandLine /*commandLine*/, int showCommand) {
    // Placed in static storage by hand so that no destructor is registered for exit.
    alignas(Win32Host) static unsigned char hostStorage[sizeof(Win32Host)];
    Win32Host* host = new (hostStorage) Win32Host;
    // The game comes first, seeded from the local time, before any window exists.
    static PuzzleGame game(MakeTimeSeed(host), host);
    g_game = &game;

    if (!StartInstance(instance, showCommand)) {
        return 0;
    }

    const HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) != 0) {
        if (TranslateAcceleratorW(msg.hwnd, accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
