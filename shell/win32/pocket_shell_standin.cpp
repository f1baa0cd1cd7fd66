// Desktop stand-in for the Pocket PC shell library. Desktop Windows has no such
// library, so this file gives the game the same contract with desktop calls:
// a menu bar built from the menu-bar resource and its menu, an About box with a
// Done button, activation handlers that keep the activation record, and a help
// viewer that falls back to the system's handler for .htm pages.
//
// Screen layout (the handheld's screen is 240 x 320): the main window loses the
// caption that desktop Windows adds to every overlapped window (the device draws
// none), its client area becomes the 240 x 270 picture, 24 px below the top of
// the work area, and the menu bar is a 240 x 26 window directly below it. On a
// 240 x 320 screen the three fill it: 24 px strip, 270 px picture, 26 px bar.
#include "shell/win32/pocket_shell_standin.h"

#include <shellapi.h>

namespace {

constexpr int kScreenWidth = 240;
constexpr int kPictureHeight = 270;
constexpr int kBarHeight = 26;
constexpr int kTopStrip = 24;
// Before the shell's own correction: it keeps left and top, takes the right as the
// width and the bottom less the bar as the height, so a bottom of 296 ends as 270 high.
constexpr int kBottomBeforeCorrection = kPictureHeight + kBarHeight;

constexpr int kMaxBarButtons = 8;
constexpr int kCaptionLength = 32;
constexpr WORD kNoSubmenu = 0xFFFF;
constexpr WORD kStyleDropDown = 0x0008;
constexpr int kWordsPerButton = 7;
constexpr UINT kFixUpMessage = WM_APP + 1;
constexpr int kButtonPadding = 8;
constexpr int kArrowWidth = 10;

constexpr int kMaxOwnedButtons = 8;

const wchar_t kBarClass[] = L"VexalMenuBarStandin";

struct BarButton {
    WORD command;
    WORD style;
    WORD submenu;
    wchar_t caption[kCaptionLength];
    RECT rect;
};

struct MenuBar {
    HWND window;
    HWND owner;
    HMENU menu;
    BarButton buttons[kMaxBarButtons];
    int count;
    int pressed;
};

MenuBar s_bar{};

// Owned windows created after the menu bar, recorded with the rectangle they asked for.
struct OwnedWindow {
    HWND window;
    RECT requested;
};

OwnedWindow s_owned[kMaxOwnedButtons];
int s_ownedCount = 0;
HHOOK s_createHook = nullptr;

bool IsOverlapped(DWORD style) {
    return (style & (WS_CHILD | WS_POPUP)) == 0;
}

// Desktop Windows gives every overlapped window a caption, the device never does.
void RemoveAddedCaption(HWND window) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    if (IsOverlapped(style)) {
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(WS_CAPTION | WS_CLIPSIBLINGS)));
    }
}

// The owner's buttons are created while the menu bar exists; remember what they asked for.
LRESULT CALLBACK RecordOwnedWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && s_ownedCount < kMaxOwnedButtons) {
        const CREATESTRUCTW* cs = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
        if (cs->hwndParent == s_bar.owner && s_bar.owner != nullptr && IsOverlapped(static_cast<DWORD>(cs->style))) {
            s_owned[s_ownedCount++] =
                OwnedWindow{reinterpret_cast<HWND>(wParam), RECT{cs->x, cs->y, cs->x + cs->cx, cs->y + cs->cy}};
        }
    }
    return CallNextHookEx(s_createHook, code, wParam, lParam);
}

// On the device an owned window without WS_POPUP has no caption and reports its
// clicks to its owner. On the desktop it needs WS_POPUP for both; it also should not
// take the activation away from the game, as the device's buttons do not.
void FixOwnedButtons() {
    for (int i = 0; i < s_ownedCount; ++i) {
        const HWND window = s_owned[i].window;
        if (IsWindow(window) == FALSE) {
            continue;
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        SetWindowLongW(window, GWL_STYLE,
                       static_cast<LONG>((style & ~static_cast<DWORD>(WS_CAPTION | WS_CLIPSIBLINGS)) | WS_POPUP));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
        SetWindowLongW(window, GWL_EXSTYLE,
                       static_cast<LONG>((exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE)) | WS_EX_NOACTIVATE));
        const RECT& r = s_owned[i].requested;
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    s_ownedCount = 0;
    if (s_createHook != nullptr) {
        UnhookWindowsHookEx(s_createHook);
        s_createHook = nullptr;
    }
}

// Keeps the bar glued under the owner's window.
void PlaceBar() {
    RECT owner;
    if (s_bar.window == nullptr || GetWindowRect(s_bar.owner, &owner) == FALSE) {
        return;
    }
    SetWindowPos(s_bar.window, nullptr, owner.left, owner.bottom, owner.right - owner.left, kBarHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int TopOfPicture() {
    RECT work;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) == FALSE) {
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    int top = work.top + kTopStrip;
    if (top > kBottomBeforeCorrection - 2) {
        top = 0;  // a work area that starts this low cannot be honoured by the correction
    }
    return top;
}

bool LoadBarLayout(HINSTANCE resources, UINT id) {
    const HRSRC found = FindResourceW(resources, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = found != nullptr ? LoadResource(resources, found) : nullptr;
    if (loaded == nullptr) {
        return false;
    }
    const DWORD bytes = SizeofResource(resources, found);
    const auto* words = static_cast<const WORD*>(LockResource(loaded));
    if (words == nullptr || bytes < 4) {
        return false;
    }
    const int count = words[1];
    if (count > kMaxBarButtons || bytes < static_cast<DWORD>(4 + count * kWordsPerButton * 2)) {
        return false;
    }
    s_bar.menu = LoadMenuW(resources, MAKEINTRESOURCEW(words[0]));
    s_bar.count = count;
    for (int i = 0; i < count; ++i) {
        const WORD* b = words + 2 + i * kWordsPerButton;
        BarButton& button = s_bar.buttons[i];
        button.command = b[1];
        button.style = b[3];
        button.submenu = b[6];
        if (LoadStringW(resources, b[4], button.caption, kCaptionLength) == 0) {
            button.caption[0] = L'\0';
        }
    }
    return true;
}

void LayOutButtons(HDC dc) {
    int x = 0;
    for (int i = 0; i < s_bar.count; ++i) {
        BarButton& button = s_bar.buttons[i];
        SIZE text{0, 0};
        GetTextExtentPoint32W(dc, button.caption, lstrlenW(button.caption), &text);
        int width = text.cx + 2 * kButtonPadding;
        if ((button.style & kStyleDropDown) != 0) {
            width += kArrowWidth;
        }
        button.rect = RECT{x, 1, x + width, kBarHeight};
        x += width;
    }
}

int ButtonAt(int x, int y) {
    const POINT p{x, y};
    for (int i = 0; i < s_bar.count; ++i) {
        if (PtInRect(&s_bar.buttons[i].rect, p) != FALSE) {
            return i;
        }
    }
    return -1;
}

void PaintBar(HWND window) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT line{client.left, 0, client.right, 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));

    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    LayOutButtons(dc);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < s_bar.count; ++i) {
        const BarButton& button = s_bar.buttons[i];
        RECT r = button.rect;
        const bool pressed = i == s_bar.pressed;
        if (pressed) {
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, GetSysColor(pressed ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
        RECT text = r;
        text.left += kButtonPadding;
        DrawTextW(dc, button.caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if ((button.style & kStyleDropDown) != 0) {
            // A small triangle pointing up: the popup opens above the bar.
            const int cx = r.right - kButtonPadding - kArrowWidth / 2;
            const int cy = (r.top + r.bottom) / 2;
            const POINT arrow[3] = {{cx - 3, cy + 2}, {cx + 4, cy + 2}, {cx, cy - 2}};
            const HBRUSH brush = GetSysColorBrush(pressed ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
            const HGDIOBJ oldBrush = SelectObject(dc, brush);
            const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
            Polygon(dc, arrow, 3);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

void SetPressed(HWND window, int index) {
    if (s_bar.pressed != index) {
        s_bar.pressed = index;
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

void OpenPopup(HWND window, int index) {
    const BarButton& button = s_bar.buttons[index];
    const HMENU popup = GetSubMenu(s_bar.menu, button.submenu);
    if (popup == nullptr) {
        return;
    }
    POINT corner{button.rect.left, 0};
    ClientToScreen(window, &corner);
    SetPressed(window, index);
    // The owner receives the chosen item's WM_COMMAND, as from the device's bar.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, corner.x, corner.y, 0, s_bar.owner,
                   nullptr);
    SetPressed(window, -1);
}

LRESULT CALLBACK MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintBar(window);
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN: {
            const int index = ButtonAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            if (index < 0) {
                return 0;
            }
            if ((s_bar.buttons[index].style & kStyleDropDown) != 0 && s_bar.buttons[index].submenu != kNoSubmenu) {
                OpenPopup(window, index);
                return 0;
            }
            SetCapture(window);
            SetPressed(window, index);
            return 0;
        }
        case WM_LBUTTONUP: {
            if (GetCapture() != window) {
                return 0;
            }
            const int pressed = s_bar.pressed;
            ReleaseCapture();
            SetPressed(window, -1);
            const int index = ButtonAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            if (index >= 0 && index == pressed) {
                SendMessageW(s_bar.owner, WM_COMMAND, MAKEWPARAM(s_bar.buttons[index].command, 0),
                             reinterpret_cast<LPARAM>(window));
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            SetPressed(window, -1);
            return 0;
        case WM_COMMAND:
            // Accelerators translated while the bar had the focus belong to the game.
            return SendMessageW(s_bar.owner, message, wParam, lParam);
        case kFixUpMessage:
            FixOwnedButtons();
            PlaceBar();
            return 0;
        case WM_DESTROY:
            if (s_bar.menu != nullptr) {
                DestroyMenu(s_bar.menu);
            }
            if (s_createHook != nullptr) {
                UnhookWindowsHookEx(s_createHook);
                s_createHook = nullptr;
            }
            s_bar = MenuBar{};
            s_bar.pressed = -1;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterBarClass(HINSTANCE instance) {
    WNDCLASSW existing;
    if (GetClassInfoW(instance, kBarClass, &existing) != FALSE) {
        return true;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = MenuBarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kBarClass;
    return RegisterClassW(&wc) != 0;
}

// The device shows its OK in the caption; a desktop caption has no room for one, so
// Done stands at the bottom right, clear of the text.
void AddDoneButton(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    constexpr int kWidth = 56;
    constexpr int kHeight = 22;
    const HWND done = CreateWindowExW(0, L"BUTTON", L"Done", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                      client.right - kWidth - 6, client.bottom - kHeight - 6, kWidth, kHeight, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageW(done, WM_SETFONT, static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0)), FALSE);
    SetFocus(done);
}

// Full screen on the device means the screen below its task bar; here, the picture
// and the bar of the game.
void CoverGameScreen(HWND dialog) {
    const HWND owner = GetWindow(dialog, GW_OWNER);
    RECT area;
    if (owner == nullptr || GetWindowRect(owner, &area) == FALSE) {
        return;
    }
    RECT bar;
    if (s_bar.window != nullptr && GetWindowRect(s_bar.window, &bar) != FALSE) {
        area.bottom = bar.bottom;
    }
    SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BOOL WINAPI StandinCreateMenuBar(ShellMenuBarInfo* info) {
    if (info == nullptr || info->size != sizeof(ShellMenuBarInfo) || info->parent == nullptr ||
        s_bar.window != nullptr) {
        return FALSE;
    }
    s_bar = MenuBar{};
    s_bar.pressed = -1;
    if (!RegisterBarClass(info->resources) || !LoadBarLayout(info->resources, info->menuBarId)) {
        return FALSE;
    }
    s_bar.owner = info->parent;

    const int top = TopOfPicture();
    RemoveAddedCaption(info->parent);
    SetWindowPos(info->parent, nullptr, 0, top, kScreenWidth, kBottomBeforeCorrection - top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    s_bar.window =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"", WS_POPUP, 0, top + kPictureHeight,
                        kScreenWidth, kBarHeight, info->parent, nullptr, info->resources, nullptr);
    if (s_bar.window == nullptr) {
        DestroyMenu(s_bar.menu);
        s_bar = MenuBar{};
        s_bar.pressed = -1;
        return FALSE;
    }
    SetWindowPos(s_bar.window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);

    s_ownedCount = 0;
    s_createHook = SetWindowsHookExW(WH_CBT, RecordOwnedWindows, nullptr, GetCurrentThreadId());
    // Runs once the message loop starts, after the buttons exist and the window is final.
    PostMessageW(s_bar.window, kFixUpMessage, 0, 0);

    info->menuBar = s_bar.window;
    return TRUE;
}

BOOL WINAPI StandinInitDialog(ShellDialogInfo* info) {
    if (info == nullptr || (info->mask & kDialogMaskFlags) == 0 || info->dialog == nullptr) {
        return FALSE;
    }
    if ((info->flags & kDialogFullScreen) != 0) {
        CoverGameScreen(info->dialog);
    }
    if ((info->flags & kDialogDoneButton) != 0) {
        AddDoneButton(info->dialog);
    }
    // kDialogInputPanelDown: a desktop has no input panel to lower.
    return TRUE;
}

BOOL WINAPI StandinHandleSettingChange(HWND /*hwnd*/, WPARAM /*wParam*/, LPARAM /*lParam*/, ShellActivateInfo* info) {
    // The device resizes for its input panel here; a desktop has none.
    return info != nullptr && info->size == sizeof(ShellActivateInfo) ? TRUE : FALSE;
}

BOOL WINAPI StandinHandleActivate(HWND hwnd, WPARAM wParam, LPARAM /*lParam*/, ShellActivateInfo* info,
                                  DWORD /*flags*/) {
    if (info == nullptr || info->size != sizeof(ShellActivateInfo)) {
        return FALSE;
    }
    const auto isOurs = [hwnd](HWND window) {
        return window != nullptr && IsWindow(window) != FALSE && (window == hwnd || IsChild(hwnd, window) != FALSE);
    };
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (isOurs(focus)) {
            info->lastFocus = focus;
        }
        return TRUE;
    }
    // The window procedure keeps WM_ACTIVATE from the default handling, which would set
    // the focus; without it the keys, and so the accelerators, would go nowhere.
    SetFocus(isOurs(info->lastFocus) ? info->lastFocus : hwnd);
    return TRUE;
}

void StandinBringForward(HWND hwnd) {
    // Desktop Windows brings owned windows along by itself; the device's marked handle
    // (OR 1) names no window here and would leave no window in the foreground.
    SetForegroundWindow(hwnd);
}

void StandinStartHelpViewer(const wchar_t* application, const wchar_t* target) {
    wchar_t commandLine[MAX_PATH];
    lstrcpynW(commandLine, target, MAX_PATH);
    // Unlike the device's, the desktop call needs both records.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) !=
        FALSE) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }

    // No help viewer: open the page, installed next to the program, with the system's
    // handler. The anchor is dropped; it marks the top of the page.
    wchar_t page[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, page, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    DWORD slash = length;
    while (slash > 0 && page[slash - 1] != L'\\' && page[slash - 1] != L'/') {
        --slash;
    }
    DWORD at = slash;
    for (const wchar_t* c = target; *c != L'\0' && *c != L'#' && at < MAX_PATH - 1; ++c) {
        page[at++] = *c;
    }
    page[at] = L'\0';
    if (GetFileAttributesW(page) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    ShellExecuteW(nullptr, L"open", page, nullptr, nullptr, SW_SHOWNORMAL);
}
