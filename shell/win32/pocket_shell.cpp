#include "shell/win32/pocket_shell.h"

#if !defined(UNDER_CE)
#include "shell/win32/pocket_shell_standin.h"
#endif

namespace {

using CreateMenuBarFn = BOOL(WINAPI*)(ShellMenuBarInfo*);
using InitDialogFn = BOOL(WINAPI*)(ShellDialogInfo*);
using SettingChangeFn = BOOL(WINAPI*)(HWND, WPARAM, LPARAM, ShellActivateInfo*);
using ActivateFn = BOOL(WINAPI*)(HWND, WPARAM, LPARAM, ShellActivateInfo*, DWORD);

struct PocketShell {
    CreateMenuBarFn createMenuBar;
    InitDialogFn initDialog;
    SettingChangeFn settingChange;
    ActivateFn activate;
};

FARPROC ProcByOrdinal(HMODULE module, WORD ordinal) {
#if defined(UNDER_CE)
    return GetProcAddressW(module, MAKEINTRESOURCEW(ordinal));
#else
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
#endif
}

// Through void (*)(void), which every function pointer may be cast to and from.
template <typename Fn>
Fn AsFunction(FARPROC proc) {
    using Generic = void (*)();
    return reinterpret_cast<Fn>(reinterpret_cast<Generic>(proc));
}

PocketShell LoadPocketShell() {
    PocketShell shell{};
    const HMODULE library = LoadLibraryW(L"aygshell.dll");
    if (library != nullptr) {
        shell.createMenuBar = AsFunction<CreateMenuBarFn>(ProcByOrdinal(library, 34));
        shell.initDialog = AsFunction<InitDialogFn>(ProcByOrdinal(library, 56));
        shell.settingChange = AsFunction<SettingChangeFn>(ProcByOrdinal(library, 83));
        shell.activate = AsFunction<ActivateFn>(ProcByOrdinal(library, 84));
    }
#if !defined(UNDER_CE)
    // A desktop has no such library, or one that is not the handheld's: use all four
    // stand-ins together, never a mix.
    if (shell.createMenuBar == nullptr || shell.initDialog == nullptr || shell.settingChange == nullptr ||
        shell.activate == nullptr) {
        shell = PocketShell{StandinCreateMenuBar, StandinInitDialog, StandinHandleSettingChange, StandinHandleActivate};
    }
#endif
    return shell;
}

const PocketShell& Shell() {
    static const PocketShell shell = LoadPocketShell();
    return shell;
}

}  // namespace

BOOL PocketCreateMenuBar(ShellMenuBarInfo* info) {
    return Shell().createMenuBar != nullptr ? Shell().createMenuBar(info) : FALSE;
}

BOOL PocketInitDialog(ShellDialogInfo* info) {
    return Shell().initDialog != nullptr ? Shell().initDialog(info) : FALSE;
}

BOOL PocketHandleSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info) {
    return Shell().settingChange != nullptr ? Shell().settingChange(hwnd, wParam, lParam, info) : FALSE;
}

BOOL PocketHandleActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info, DWORD flags) {
    return Shell().activate != nullptr ? Shell().activate(hwnd, wParam, lParam, info, flags) : FALSE;
}

void BringInstanceForward(HWND hwnd) {
#if defined(UNDER_CE)
    // The low bit asks the device to bring the window's owned windows forward with it.
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(hwnd) | 0x1U));
#else
    StandinBringForward(hwnd);
#endif
}

void StartHelpViewer(const wchar_t* target) {
#if defined(UNDER_CE)
    // The device's CreateProcessW takes a read-only command line and no start-up records.
    CreateProcessW(L"PegHelp.exe", const_cast<wchar_t*>(target), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                   nullptr);
#else
    StandinStartHelpViewer(L"PegHelp.exe", target);
#endif
}
