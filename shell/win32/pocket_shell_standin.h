// Desktop stand-in for the Pocket PC shell library: the same four entry points and
// the help viewer, built from what desktop Windows offers.
#pragma once

#include "shell/win32/pocket_shell.h"

BOOL WINAPI StandinCreateMenuBar(ShellMenuBarInfo* info);
BOOL WINAPI StandinInitDialog(ShellDialogInfo* info);
BOOL WINAPI StandinHandleSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info);
BOOL WINAPI StandinHandleActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info, DWORD flags);
void StandinBringForward(HWND hwnd);
void StandinStartHelpViewer(const wchar_t* application, const wchar_t* target);
