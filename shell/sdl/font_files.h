// Finding the DejaVu Sans font at run time.
#pragma once

#include <string>

struct FontFiles {
    std::string regular;
    std::string bold;  // empty: embolden the regular face
};

// Known places first, then fontconfig's fc-match. False when no usable file was found.
bool FindFontFiles(FontFiles* files);
constexpr const char* kFontMissingHelp =
    "the DejaVu Sans font (DejaVuSans.ttf) was not found; on Debian or Ubuntu install it with\n"
    "  apt-get install fonts-dejavu-core";
