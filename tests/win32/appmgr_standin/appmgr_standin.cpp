// Stands in for the application manager: writes the command line it was given and its
// current directory, one per line, to "appmgr-record.txt" beside its own executable. The
// record appears whole (written aside, then renamed), so a test that sees it can read it.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string OwnDirectory() {
    std::vector<char> buffer(32768);
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::string path(buffer.data(), length < buffer.size() ? length : 0);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string CurrentDirectory() {
    std::vector<char> buffer(32768);
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::string(buffer.data(), length < buffer.size() ? length : 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*showCommand*/) {
    const std::string record = OwnDirectory() + "\\appmgr-record.txt";
    const std::string aside = record + ".part";
    std::FILE* file = std::fopen(aside.c_str(), "wb");
    if (file == nullptr) {
        return 1;
    }
    const bool written = std::fprintf(file, "%s\n%s\n", GetCommandLineA(), CurrentDirectory().c_str()) > 0;
    if (std::fclose(file) != 0 || !written) {
        return 1;
    }
    return MoveFileExA(aside.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
