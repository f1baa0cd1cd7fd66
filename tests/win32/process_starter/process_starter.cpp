// process_starter: starts a program through CreateProcessA, as another program would, and
// waits for it to end.
//
//   process_starter APPLICATION        no command line: CreateProcessA is given none and
//                                      the system makes one of APPLICATION
//   process_starter APPLICATION LINE   LINE, exactly, as the command line
//
// Exits with the program's exit code, or 120 when it could not be started.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: process_starter APPLICATION [COMMAND_LINE]\n");
        return 2;
    }
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line;
    if (argc == 3) {
        line.assign(argv[2], argv[2] + std::strlen(argv[2]) + 1);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "process_starter: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 120;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
