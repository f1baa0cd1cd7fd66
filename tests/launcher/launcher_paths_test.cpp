#include "launcher/launcher_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ostrover {
namespace {

struct IniCase {
    const char* name;
    std::string modulePath;
    std::string commandLine;
    std::string iniPath;
};

void ExpectIniPaths(const std::vector<IniCase>& cases) {
    for (const IniCase& c : cases) {
        EXPECT_EQ(IniPathFor(LauncherBaseName(c.modulePath, c.commandLine)), c.iniPath) << c.name;
    }
}

// The module's path names the file, whatever the command line says.
TEST(LauncherPaths, FollowsTheModuleFileName) {
    const std::string vendor = "C:\\Program Files\\Vendor\\Ostrover.exe";
    ExpectIniPaths({
        {"no command line given: the path unquoted", vendor, vendor, ".\\Ostrover.ini"},
        {"quoted up to the middle", vendor, "\"C:\\Program Files\"\\Vendor\\Ostrover.exe", ".\\Ostrover.ini"},
        {"a caller's own first word", vendor, "setup.exe /quiet", ".\\Ostrover.ini"},
        {"empty command line", vendor, "", ".\\Ostrover.ini"},
        {"renamed with a blank", "D:\\setup\\Install VexalMini.exe", "\"D:\\setup\\Install\" x",
         ".\\Install VexalMini.ini"},
        {"long-path prefix", "\\\\?\\C:\\dir\\Ostrover.exe", "Ostrover", ".\\Ostrover.ini"},
        {"network share", "\\\\server\\share\\Ostrover.exe", "", ".\\Ostrover.ini"},
        {"no extension", "C:\\dir.d\\Ostrover", "", ".\\Ostrover.ini"},
        {"two dots", "C:\\dir\\Ostrover.v2.exe", "", ".\\Ostrover.v2.ini"},
        {"extension only: the command line", "C:\\dir\\.exe", "Ostrover.exe", ".\\Ostrover.ini"},
    });
}

// No module path could be read: the command line's program name, as the C runtime reads it.
TEST(LauncherPaths, FallsBackToTheCommandLine) {
    ExpectIniPaths({
        {"quoted then blank", "", "\"C:\\dir\\Ostrover.exe\" ", ".\\Ostrover.ini"},
        {"quoted, nothing after", "", "\"C:\\dir\\Ostrover.exe\"", ".\\Ostrover.ini"},
        {"unquoted", "", "C:\\dir\\Ostrover.exe", ".\\Ostrover.ini"},
        {"no backslash", "", "Ostrover.exe", ".\\Ostrover.ini"},
        {"bare name", "", "Ostrover", ".\\Ostrover.ini"},
        {"forward slashes", "", "C:/dir/sub/Ostrover.exe", ".\\Ostrover.ini"},
        {"drive-relative", "", "C:Ostrover.exe", ".\\Ostrover.ini"},
        {"renamed", "", "\"D:\\setup\\VexalMini.exe\"", ".\\VexalMini.ini"},
        {"blank in name", "", "\"C:\\Program Files\\Ostrover Setup.exe\" /x", ".\\Ostrover Setup.ini"},
        {"blank in folder only", "", "\"C:\\My Dir\\Ostrover.exe\"", ".\\Ostrover.ini"},
        {"quoted up to the middle", "", "\"C:\\Program Files\"\\Ostrover.exe", ".\\Ostrover.ini"},
        {"quoted in the middle", "", "C:\\\"Program Files\"\\Vendor\\Ostrover.exe /x", ".\\Ostrover.ini"},
        {"quoted name after the folder", "", "C:\\dir\\\"Ostrover Setup.exe\" /x", ".\\Ostrover Setup.ini"},
        {"backslash in a later argument", "", "C:\\dir\\Ostrover.exe /report x\\y.exe", ".\\Ostrover.ini"},
        {"arguments after quoted path", "", "\"C:\\dir\\Ostrover.exe\" a\\b \"c d\"", ".\\Ostrover.ini"},
        {"dot in folder, none in name", "", "\"C:\\dir.d\\Ostrover\"", ".\\Ostrover.ini"},
        {"two dots", "", "Ostrover.v2.exe", ".\\Ostrover.v2.ini"},
        {"trailing dot", "", "Ostrover.", ".\\Ostrover.ini"},
        {"leading blanks and tab", "", " \t C:\\a\\Ostrover.exe\targ", ".\\Ostrover.ini"},
        {"shorter than six characters", "", "a.exe", ".\\a.ini"},
        {"one character", "", "x", ".\\x.ini"},
        {"unterminated quote", "", "\"C:\\dir\\Ostrover.exe", ".\\Ostrover.ini"},
        {"unterminated quote takes the rest", "", "\"C:\\dir\\Ostrover Setup.exe -x", ".\\Ostrover Setup.ini"},
        {"empty line: product name", "", "", ".\\Ostrover.ini"},
        {"blanks only: product name", "", "   ", ".\\Ostrover.ini"},
        {"empty quotes: product name", "", "\"\" /x", ".\\Ostrover.ini"},
        {"folder only: product name", "", "\"C:\\dir\\\"", ".\\Ostrover.ini"},
        {"extension only: product name", "", "C:\\dir\\.exe", ".\\Ostrover.ini"},
        {"module folder only: product name", "C:\\dir\\", "\"\"", ".\\Ostrover.ini"},
    });
}

TEST(LauncherPaths, KeepsVeryLongNamesWhole) {
    const std::string name(100000, 'n');
    const std::string folders = std::string(50000, '\\') + "Ostrover.exe";
    ExpectIniPaths({
        {"long module name", "C:\\" + name + ".exe", "", ".\\" + name + ".ini"},
        {"long quoted command line", "", "\"C:\\" + name + ".exe\"", ".\\" + name + ".ini"},
        {"many folders in the module path", folders, "x.exe", ".\\Ostrover.ini"},
        {"many folders on the command line", "", folders, ".\\Ostrover.ini"},
    });
}

TEST(LauncherPaths, QuotesThePackagePathOnlyWhenItHoldsABlank) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {".\\Ostrover.ini", "/report .\\Ostrover.ini"},
        {".\\a.ini", "/report .\\a.ini"},
        {".\\Ostrover Setup.ini", "/report \".\\Ostrover Setup.ini\""},
        {".\\ lead.ini", "/report \".\\ lead.ini\""},
        {".\\tab\there.ini", "/report \".\\tab\there.ini\""},
    };
    for (const auto& [ini, line] : cases) {
        EXPECT_EQ(ChildCommandLine(ini), line) << ini;
    }
    const std::string longIni = ".\\" + std::string(70000, 'x') + " y.ini";
    EXPECT_EQ(ChildCommandLine(longIni), "/report \"" + longIni + "\"");
}

TEST(LauncherPaths, StopsAtTheFirstTerminatorAndNeverReadsPastTheValue) {
    struct Case {
        const char* name;
        std::string bytes;  // exactly the value's bytes
        std::string text;
    };
    const std::string longPath = "C:\\" + std::string(100000, 'p') + "\\CEAPPMGR.EXE";
    const std::vector<Case> cases = {
        {"terminated", std::string("C:\\AS\\CEAPPMGR.EXE\0", 19), "C:\\AS\\CEAPPMGR.EXE"},
        {"no terminator", "C:\\AS\\CEAPPMGR.EXE", "C:\\AS\\CEAPPMGR.EXE"},
        {"embedded terminator", std::string("C:\\a.exe\0junk", 13), "C:\\a.exe"},
        {"only a terminator", std::string("\0", 1), ""},
        {"empty", "", ""},
        {"very long, unterminated", longPath, longPath},
    };
    for (const Case& c : cases) {
        // A buffer of exactly the value's size, so the sanitizers see any read beyond it.
        const std::vector<char> data(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(RegistryText(data.data(), data.size()), c.text) << c.name;
    }
    EXPECT_EQ(RegistryText(nullptr, 10), "");
}

TEST(LauncherPaths, OwnRegistryViewFirstThenTheOther) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
    const std::string key32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
    // A place as "subkey" or "subkey|64" for the 64-bit view.
    const std::string own = key;
    const std::string other64 = key + "|64";  // what a 32-bit program reads second
    const std::string other32 = key32;        // what a 64-bit program reads second
    struct Case {
        const char* name;
        bool program64;
        std::map<std::string, std::optional<std::string>> values;
        std::string path;
        std::vector<std::string> asked;
    };
    const std::vector<Case> cases = {
        {"x86, own view", false, {{own, "C:\\A\\CEAPPMGR.EXE"}}, "C:\\A\\CEAPPMGR.EXE", {own}},
        {"x86, 64-bit view only", false, {{other64, "C:\\B\\CEAPPMGR.EXE"}}, "C:\\B\\CEAPPMGR.EXE", {own, other64}},
        {"x86, both: own wins", false, {{own, "C:\\A"}, {other64, "C:\\B"}}, "C:\\A", {own}},
        {"x86, own empty", false, {{own, ""}, {other64, "C:\\B"}}, "C:\\B", {own, other64}},
        {"x86, neither", false, {}, "", {own, other64}},
        {"x64, own view", true, {{own, "C:\\A"}}, "C:\\A", {own}},
        {"x64, 32-bit view only", true, {{other32, "C:\\B"}}, "C:\\B", {own, other32}},
        {"x64, both: own wins", true, {{own, "C:\\A"}, {other32, "C:\\B"}}, "C:\\A", {own}},
        {"x64, neither", true, {{other64, "C:\\B"}}, "", {own, other32}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> asked;
        const auto read = [&](const RegistryPlace& place) -> std::optional<std::string> {
            asked.push_back(std::string(place.subKey) + (place.view64 ? "|64" : ""));
            const auto found = c.values.find(asked.back());
            return found == c.values.end() ? std::nullopt : found->second;
        };
        EXPECT_EQ(FindAppManagerPath(c.program64, read), c.path) << c.name;
        EXPECT_EQ(asked, c.asked) << c.name;
    }
}

struct ResolveCase {
    const char* name;
    std::string path;
    std::set<std::string> files;
    std::optional<std::string> started;
    std::vector<std::string> probes;  // in the order they must be asked
};

TEST(LauncherPaths, SearchesLikeTheRuntime) {
    const std::string exe = "C:\\AS\\CEAPPMGR.EXE";
    const std::string stem = "C:\\AS\\CEAPPMGR";
    const std::vector<ResolveCase> cases = {
        {"full path, present", exe, {exe}, exe, {exe}},
        {"full path, missing", exe, {}, std::nullopt, {exe}},
        {"no extension: .exe", stem, {stem + ".exe"}, stem + ".exe", {stem + ".com", stem + ".exe"}},
        {"no extension: .com wins", stem, {stem + ".com", stem + ".exe"}, stem + ".com", {stem + ".com"}},
        {"no extension: .cmd last",
         stem,
         {stem + ".cmd"},
         stem + ".cmd",
         {stem + ".com", stem + ".exe", stem + ".bat", stem + ".cmd"}},
        {"no extension: none",
         stem,
         {stem},
         std::nullopt,
         {stem + ".com", stem + ".exe", stem + ".bat", stem + ".cmd"}},
        {"bare name from the current folder",
         "CEAPPMGR.EXE",
         {".\\CEAPPMGR.EXE"},
         ".\\CEAPPMGR.EXE",
         {".\\CEAPPMGR.EXE"}},
        {"bare name never found elsewhere", "CEAPPMGR.EXE", {"CEAPPMGR.EXE"}, std::nullopt, {".\\CEAPPMGR.EXE"}},
        {"bare stem",
         "appmgr",
         {".\\appmgr.bat"},
         ".\\appmgr.bat",
         {".\\appmgr.com", ".\\appmgr.exe", ".\\appmgr.bat"}},
        {"slash counts as a folder", "C:/AS/x.exe", {"C:/AS/x.exe"}, "C:/AS/x.exe", {"C:/AS/x.exe"}},
        {"colon counts as a folder", "C:x.exe", {"C:x.exe"}, "C:x.exe", {"C:x.exe"}},
        {"dot in folder only",
         "C:\\a.b\\prog",
         {"C:\\a.b\\prog.exe"},
         "C:\\a.b\\prog.exe",
         {"C:\\a.b\\prog.com", "C:\\a.b\\prog.exe"}},
        {"trailing dot is an extension", "prog.", {".\\prog."}, ".\\prog.", {".\\prog."}},
        {"blank in path",
         "C:\\Program Files\\AS\\CEAPPMGR.EXE",
         {"C:\\Program Files\\AS\\CEAPPMGR.EXE"},
         "C:\\Program Files\\AS\\CEAPPMGR.EXE",
         {"C:\\Program Files\\AS\\CEAPPMGR.EXE"}},
        {"empty value starts nothing", "", {".\\.com", ".\\.exe"}, std::nullopt, {}},
    };
    for (const ResolveCase& c : cases) {
        std::vector<std::string> asked;
        const auto exists = [&](const std::string& candidate) {
            asked.push_back(candidate);
            return c.files.count(candidate) != 0;
        };
        EXPECT_EQ(ResolveProgram(c.path, exists), c.started) << c.name;
        EXPECT_EQ(asked, c.probes) << c.name;
    }
}

TEST(LauncherPaths, HandlesVeryLongRegistryValues) {
    const std::string longPath = "C:\\" + std::string(100000, 'd') + "\\CEAPPMGR";
    const auto onlyExe = [&](const std::string& candidate) { return candidate == longPath + ".exe"; };
    EXPECT_EQ(ResolveProgram(longPath, onlyExe), longPath + ".exe");
    const auto nothing = [](const std::string&) { return false; };
    EXPECT_EQ(ResolveProgram(std::string(100000, 'x'), nothing), std::nullopt);
}

}  // namespace
}  // namespace ostrover
