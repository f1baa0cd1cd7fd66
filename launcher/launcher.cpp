#include "launcher/launcher.h"

#include <optional>
#include <vector>

#include "launcher/launcher_paths.h"
#include "resources/ostrover_resource.h"

HINSTANCE g_launcherInst = nullptr;
std::string g_appManagerPath;
std::string g_iniPath;

namespace {

constexpr int kMaxLoadString = 100;
constexpr char kPrompt[] = "Click to Proceed";

char g_title[kMaxLoadString];
char g_windowClass[kMaxLoadString];

LPCSTR ResourceName(WORD id) {
    return MAKEINTRESOURCEA(id);
}

// The program's own path; empty when it cannot be read, and the command line then names us.
std::string ModuleFileName() {
    constexpr std::size_t kLongestPath = 32767;  // what Windows allows, prefix included
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer may have been cut short: try again with more room.
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        if (buffer.size() > kLongestPath) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The key's default value at whatever length it has, from one place. A missing key or
// value, or one that is not text, gives nothing.
std::optional<std::string> ReadRegistryPlace(const ostrover::RegistryPlace& place) {
    HKEY key = nullptr;
    const REGSAM access = KEY_QUERY_VALUE | (place.view64 ? KEY_WOW64_64KEY : 0);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, place.subKey, 0, access, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::string> path;
    // The value can grow between asking its size and reading it; a few rounds settle that.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            break;
        }
        std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = size;
        const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            path = ostrover::RegistryText(data.data(), got);
        }
        break;
    }
    RegCloseKey(key);
    return path;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Starts the application manager; once its process exists this launcher is done. A start
// that fails leaves everything as it was, so the next click simply tries again.
void StartAppManager() {
    const std::optional<std::string> program = ostrover::ResolveProgram(g_appManagerPath, FileExists);
    if (!program) {
        return;
    }
    const std::string arguments = ostrover::ChildCommandLine(g_iniPath);
    std::vector<char> commandLine(arguments.begin(), arguments.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program->c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ExitProcess(0);
}

void OnCreate() {
    g_iniPath = ostrover::IniPathFor(ostrover::LauncherBaseName(ModuleFileName(), GetCommandLineA()));
    g_appManagerPath = ostrover::FindAppManagerPath(sizeof(void*) == 8, ReadRegistryPlace);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, kPrompt, -1, &client, DT_CENTER);
    EndPaint(window, &paint);
}

}  // namespace

ATOM RegisterLauncherClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = LauncherWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, ResourceName(IDI_OSTROVER));
    windowClass.hCursor = LoadCursorA(nullptr, ResourceName(32512));  // the arrow
    // A system colour index plus one stands for that colour's brush.
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));  // NOLINT(performance-no-int-to-ptr)
    windowClass.lpszMenuName = ResourceName(IDC_OSTROVER);
    windowClass.lpszClassName = g_windowClass;
    windowClass.hIconSm = LoadIconA(instance, ResourceName(IDI_SMALL));
    return RegisterClassExA(&windowClass);
}

BOOL CreateLauncherWindow(HINSTANCE instance, int showCommand) {
    g_launcherInst = instance;
    HWND window = CreateWindowExA(0, g_windowClass, g_title, WS_OVERLAPPEDWINDOW, 500, 280, 250, 230, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        return FALSE;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return TRUE;
}

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_ABOUT:
                    DialogBoxParamA(g_launcherInst, ResourceName(IDD_ABOUTBOX), window, LauncherAboutDlgProc, 0);
                    return 0;
                case IDM_EXIT:
                    DestroyWindow(window);
                    return 0;
                default:
                    return DefWindowProcA(window, message, wParam, lParam);
            }
        case WM_LBUTTONDOWN:
            StartAppManager();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK LauncherAboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// The package file is worked out at WM_CREATE, from the program's own file name.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int nShowCmd) {
    LoadStringA(hInstance, IDS_APP_TITLE, g_title, kMaxLoadString);
    LoadStringA(hInstance, IDC_OSTROVER, g_windowClass, kMaxLoadString);
    RegisterLauncherClass(hInstance);
    if (!CreateLauncherWindow(hInstance, nShowCmd)) {
        return 0;
    }
    HACCEL accelerators = LoadAcceleratorsA(hInstance, ResourceName(IDC_OSTROVER));
    MSG message{};
    // GetMessageA gives -1 on a failure; that must end the loop rather than spin in it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
