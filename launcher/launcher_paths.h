#pragma once
// The launcher's text work, kept free of Windows headers so it runs in the native tests:
// which package file belongs to this launcher, what the application manager's command
// line is, and which file actually gets started.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace ostrover {

// The program's name as the command line gives it: the first token, in quotes or up to the
// first blank or tab. Leading blanks are skipped. No backslash escapes apply to this token.
std::string ProgramToken(const std::string& commandLine);

// File name without directory (\, / or a drive's colon) and without its last extension.
std::string BaseNameOfPath(const std::string& path);

// Base name for the package file: from the command line, else from the module's own path
// (for a caller that passed an empty or nameless command line), else the product name.
std::string LauncherBaseName(const std::string& commandLine, const std::string& modulePath);

// ".\" + base name + ".ini"; relative on purpose, the child inherits our current directory.
std::string IniPathFor(const std::string& baseName);

// Arguments of the application manager: "/report" and the package file, which is quoted
// only when it holds a blank or tab, so the usual line stays exactly "/report .\Ostrover.ini".
std::string ChildCommandLine(const std::string& iniPath);

// Registry text of `size` bytes as the value came: up to its first NUL, never beyond `size`.
std::string RegistryText(const char* data, std::size_t size);

// The file to start for a path, with the C runtime's search rules: a path without any
// backslash, slash or colon is taken from ".\"; a file name with an extension must exist;
// one without is tried with .com, .exe, .bat and .cmd in that order. Empty when nothing fits.
using FileExists = std::function<bool(const std::string&)>;
std::optional<std::string> ResolveProgram(const std::string& path, const FileExists& exists);

}  // namespace ostrover
