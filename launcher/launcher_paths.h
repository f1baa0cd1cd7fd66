#pragma once
// The launcher's text work, kept free of Windows headers so it runs in the native tests:
// which package file belongs to this launcher, what the application manager's command
// line is, and which file actually gets started.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace ostrover {

// The program's name as the C runtime reads it from a command line: leading blanks skipped,
// then up to the first blank or tab outside quotes, each quote turning quoting on or off and
// dropped, so "C:\Program Files"\Ostrover.exe reads whole. No backslash escapes apply here.
// A path with a blank and no quotes cannot be read whole: the line does not say where it ends.
std::string ProgramToken(const std::string& commandLine);

// File name without directory (\, / or a drive's colon) and without its last extension.
std::string BaseNameOfPath(const std::string& path);

// Base name for the package file: from the module's own path, which names the file whatever
// the caller put on the command line; else (no module path could be read) from the command
// line; else the product name.
std::string LauncherBaseName(const std::string& modulePath, const std::string& commandLine);

// ".\" + base name + ".ini"; relative on purpose, the child inherits our current directory.
std::string IniPathFor(const std::string& baseName);

// Arguments of the application manager: "/report" and the package file, which is quoted
// only when it holds a blank or tab, so the usual line stays exactly "/report .\Ostrover.ini".
std::string ChildCommandLine(const std::string& iniPath);

// Registry text of `size` bytes as the value came: up to its first NUL, never beyond `size`.
std::string RegistryText(const char* data, std::size_t size);

// One place where the application manager's key can be: a key under HKEY_LOCAL_MACHINE,
// opened in the program's own registry view or, with `view64`, in the 64-bit view.
struct RegistryPlace {
    const char* subKey;
    bool view64;
};

// Where the key is looked for, in order: the program's own registry view, then the other
// one, since a 32-bit launcher on 64-bit Windows and a 64-bit synchronisation suite (or
// the reverse) see different keys. A 32-bit program asks for the 64-bit view by flag; a
// 64-bit program reads the 32-bit view where 64-bit Windows keeps it, under Wow6432Node
// (Wine ignores the 32-bit-view flag for 64-bit programs).
std::array<RegistryPlace, 2> AppManagerKeyPlaces(bool program64);

// The application manager's path: the first place whose key holds a text value that is not
// empty, as `read` gives it (nothing for a missing key or value); empty when none does.
using ReadRegistryText = std::function<std::optional<std::string>(const RegistryPlace&)>;
std::string FindAppManagerPath(bool program64, const ReadRegistryText& read);

// The file to start for a path, with the C runtime's search rules: a path without any
// backslash, slash or colon is taken from ".\"; a file name with an extension must exist;
// one without is tried with .com, .exe, .bat and .cmd in that order. Empty when nothing fits.
using FileExists = std::function<bool(const std::string&)>;
std::optional<std::string> ResolveProgram(const std::string& path, const FileExists& exists);

}  // namespace ostrover
