#include "shell/win32/paint_frame.h"

#include "render/frame.h"
#include "shell/win32/gdi_canvas.h"
#include "shell/win32/shell_globals.h"

namespace {

HBITMAP g_backBitmap = nullptr;
int g_firstPaint = 1;

}  // namespace

void PaintFrame(PuzzleGame& game, HWND hwnd) {
    PAINTSTRUCT ps;
    const HDC windowDc = BeginPaint(hwnd, &ps);
    const HDC memoryDc = CreateCompatibleDC(windowDc);
    if (g_firstPaint != 0) {
        g_firstPaint = 0;  // cleared first: the bitmap is attempted only once
        g_backBitmap = CreateCompatibleBitmap(windowDc, kFrameWidth, kFrameHeight);
        GetClientRect(g_hwndMain, &g_clientRect);
    }
    const HGDIOBJ previousBitmap = SelectObject(memoryDc, g_backBitmap);

    GdiCanvas canvas(memoryDc);
    ComposeFrame(game, canvas);

    BitBlt(windowDc, 0, 0, kFrameWidth, kFrameHeight, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previousBitmap);
    DeleteDC(memoryDc);
    EndPaint(hwnd, &ps);
}
