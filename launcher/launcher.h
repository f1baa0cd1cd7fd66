#pragma once
// Ostrover: one window, "Click to Proceed"; a click hands the package file named after this
// launcher to the PC's application manager, and the launcher ends.

#include <windows.h>

#include <string>

extern HINSTANCE g_launcherInst;
// Worked out once at WM_CREATE: installing the application manager later needs a restart.
extern std::string g_appManagerPath;
extern std::string g_iniPath;

ATOM RegisterLauncherClass(HINSTANCE instance);
BOOL CreateLauncherWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LauncherAboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
