// Window handles and records of the Win32 shell, one of each for the whole process.
#pragma once

#include <windows.h>

#include "model/puzzle.h"
#include "shell/win32/pocket_shell.h"

// The one game, made by WinMain before any window; the window procedure's only way to it.
extern PuzzleGame* g_game;

extern HINSTANCE g_hInst;
extern HWND g_hwndMain;
extern HWND g_hwndMenuBar;
extern HWND g_hwndShuffle;
extern HWND g_hwndNewSkin;
extern HWND g_hwndSizeDown;
extern HWND g_hwndSizeUp;
extern HWND g_hwndSizeOk;

// Read at the first paint; every change of the picture invalidates it.
extern RECT g_clientRect;
// Kept by the pocket shell's activation and setting-change handlers.
extern ShellActivateInfo g_activateInfo;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, WinMainCommandLine commandLine, int showCommand);
bool StartInstance(HINSTANCE instance, int showCommand);
ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className);
void CreateLogFile();

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreateMenuBar(HWND hwnd);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
