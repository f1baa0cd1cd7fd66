#include "shell/win32/win32_host.h"

#include "shell/win32/shell_globals.h"

void Win32Host::InvalidateFrame() {
    // With no window, InvalidateRect would repaint every window on a desktop.
    if (g_hwndMain != nullptr) {
        InvalidateRect(g_hwndMain, &g_clientRect, FALSE);
    }
}

void Win32Host::ShowButton(HostButton button, bool show) {
    HWND handle = nullptr;
    switch (button) {
        case HostButton::Shuffle:
            handle = g_hwndShuffle;
            break;
        case HostButton::NewSkin:
            handle = g_hwndNewSkin;
            break;
        case HostButton::SizeDown:
            handle = g_hwndSizeDown;
            break;
        case HostButton::SizeUp:
            handle = g_hwndSizeUp;
            break;
        case HostButton::SizeOk:
            handle = g_hwndSizeOk;
            break;
    }
    if (handle != nullptr) {
        ShowWindow(handle, show ? SW_SHOW : SW_HIDE);
    }
}

LocalTime Win32Host::GetLocalTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LocalTime{now.wMinute, now.wSecond, now.wMilliseconds};
}
