// Opening the help pages in the user's browser.
#pragma once

#include <string>

// target is "file.htm#anchor". Looks for the file in the help folder relative to the
// program's own, and hands its file: URL to xdg-open. False with a reason on failure.
bool OpenHelpPage(const char* target, std::string* error);

// The file: URL of a help page, or empty when the page is nowhere to be found.
std::string HelpPageUrl(const std::string& target);
