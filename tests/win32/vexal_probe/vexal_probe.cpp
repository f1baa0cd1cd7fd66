// vexal_probe: prints the windows of a running VexalMini as JSON lines.
//
//   vexal_probe windows            the main window, the windows it owns, the menus,
//                                  dialogs and the foreground window
//   vexal_probe hold-foreground S  shows a window of its own, makes it the foreground,
//                                  prints "ready", then waits up to S seconds for the
//                                  game's window to become the foreground; exit 0 when
//                                  it did, 1 when not
//   vexal_probe send-help          sends WM_HELP to the game's window
//   vexal_probe take-capture HOW   takes the mouse capture from the game's window in
//                                  mid-drag and prints "taken". HOW is "window": join
//                                  the game's input and capture a window of our own,
//                                  which then gets the release; once the button is up
//                                  (or after 10 s) let it go and exit. Or "cancel-mode":
//                                  send WM_CANCELMODE, whose default handling lets the
//                                  capture go, and exit
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

HWND FindGame() {
    return FindWindowW(L"VEXAL", L"Vexal Mini");
}

// The game brings itself forward with its handle OR 1, which Wine keeps as given, so
// the foreground is told by class and title rather than by handle value.
bool IsGameWindow(HWND hwnd) {
    wchar_t cls[64] = L"";
    wchar_t text[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    GetWindowTextW(hwnd, text, 64);
    return std::wcscmp(cls, L"VEXAL") == 0 && std::wcscmp(text, L"Vexal Mini") == 0;
}

void PrintString(const wchar_t* text) {
    std::putchar('"');
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c == L'"' || *c == L'\\') {
            std::printf("\\%c", static_cast<char>(*c));
        } else if (*c < 0x20 || *c > 0x7E) {
            std::printf("\\u%04x", static_cast<unsigned>(*c));
        } else {
            std::putchar(static_cast<char>(*c));
        }
    }
    std::putchar('"');
}

void PrintWindow(const char* role, HWND hwnd) {
    wchar_t cls[128] = L"";
    wchar_t text[256] = L"";
    GetClassNameW(hwnd, cls, 128);
    GetWindowTextW(hwnd, text, 256);
    RECT r{};
    GetWindowRect(hwnd, &r);
    RECT c{};
    GetClientRect(hwnd, &c);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    std::printf("{\"role\": \"%s\", \"hwnd\": %lu, \"class\": ", role,
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hwnd)));
    PrintString(cls);
    std::printf(", \"text\": ");
    PrintString(text);
    std::printf(
        ", \"style\": %lu, \"exStyle\": %lu, \"visible\": %d, \"id\": %ld, \"owner\": %lu, \"rect\": [%ld, %ld, "
        "%ld, %ld], \"client\": [%ld, %ld, %ld, %ld]}\n",
        static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_EXSTYLE)), IsWindowVisible(hwnd) != FALSE ? 1 : 0,
        static_cast<long>(GetWindowLongW(hwnd, GWL_ID)),
        static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetWindow(hwnd, GW_OWNER))), r.left, r.top, r.right,
        r.bottom, origin.x, origin.y, origin.x + c.right, origin.y + c.bottom);
}

// Only the class style is answered across processes; icon and cursor live in the game's.
void PrintClass(HWND hwnd) {
    std::printf("{\"role\": \"class\", \"style\": %lu}\n",
                static_cast<unsigned long>(GetClassLongPtrW(hwnd, GCL_STYLE)));
}

struct EnumState {
    HWND game;
};

BOOL CALLBACK EachTopLevel(HWND hwnd, LPARAM param) {
    const auto* state = reinterpret_cast<const EnumState*>(param);
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    if (std::wcscmp(cls, L"VEXAL") == 0) {
        PrintWindow(hwnd == state->game ? "main" : "other-main", hwnd);
        if (hwnd == state->game) {
            PrintClass(hwnd);
        }
    } else if (state->game != nullptr && GetWindow(hwnd, GW_OWNER) == state->game) {
        PrintWindow("owned", hwnd);
    }
    return TRUE;
}

BOOL CALLBACK EachDialogChild(HWND hwnd, LPARAM) {
    PrintWindow("dialog-child", hwnd);
    return TRUE;
}

int Windows() {
    EnumState state{FindGame()};
    EnumWindows(EachTopLevel, reinterpret_cast<LPARAM>(&state));
    // Wine's EnumWindows leaves open popup menus out; the z-order walk has them.
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t cls[64] = L"";
        GetClassNameW(w, cls, 64);
        if (std::wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w) != FALSE) {
            PrintWindow("menu", w);
        }
    }
    const HWND about = FindWindowW(nullptr, L"About VexalMini");
    if (about != nullptr) {
        PrintWindow("dialog", about);
        EnumChildWindows(about, EachDialogChild, 0);
    }
    const HWND foreground = GetForegroundWindow();
    if (foreground != nullptr) {
        PrintWindow("foreground", foreground);
    }
    return 0;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateProbeWindow(DWORD style, int x, int y, int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"VexalProbe";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"VexalProbe", L"Probe", style, x, y, width, height, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

int HoldForeground(int seconds) {
    const HWND own = CreateProbeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 40, 200, 150);
    SetForegroundWindow(own);
    const DWORD until = GetTickCount() + static_cast<DWORD>(seconds) * 1000U;
    bool announced = false;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            DispatchMessageW(&msg);
        }
        const HWND foreground = GetForegroundWindow();
        if (!announced && foreground == own) {
            std::printf("ready\n");
            std::fflush(stdout);
            announced = true;
        }
        if (announced && foreground != nullptr && IsGameWindow(foreground)) {
            std::printf("foreground is the game\n");
            return 0;
        }
        Sleep(20);
    }
    std::printf(announced ? "the game did not come forward\n" : "could not take the foreground\n");
    const HWND foreground = GetForegroundWindow();
    if (foreground != nullptr) {
        PrintWindow("foreground", foreground);
    }
    return 1;
}

int TakeCapture(const char* how) {
    const HWND game = FindGame();
    if (game == nullptr) {
        std::printf("no game window\n");
        return 1;
    }
    if (std::strcmp(how, "cancel-mode") == 0) {
        SendMessageW(game, WM_CANCELMODE, 0, 0);
        std::printf("taken\n");
        return 0;
    }
    // Only a window that shares the game's input can take its capture over.
    const HWND own = CreateProbeWindow(WS_POPUP, 0, 0, 1, 1);
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(game, nullptr), TRUE);
    SetCapture(own);
    std::printf(GetCapture() == own ? "taken\n" : "the capture stayed where it was\n");
    std::fflush(stdout);
    const DWORD until = GetTickCount() + 10000U;
    bool up = false;
    while (!up && static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            up = up || msg.message == WM_LBUTTONUP;
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    ReleaseCapture();
    DestroyWindow(own);
    return up ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "windows") == 0) {
        return Windows();
    }
    if (argc >= 3 && std::strcmp(argv[1], "hold-foreground") == 0) {
        return HoldForeground(std::atoi(argv[2]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "send-help") == 0) {
        const HWND game = FindGame();
        if (game == nullptr) {
            return 1;
        }
        SendMessageW(game, WM_HELP, 0, 0);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "take-capture") == 0) {
        return TakeCapture(argv[2]);
    }
    std::fprintf(stderr, "usage: vexal_probe windows | hold-foreground SECONDS | send-help | take-capture HOW\n");
    return 2;
}
