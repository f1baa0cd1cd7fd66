// Text from a script or the command line, safe to put in a message on a terminal.
#pragma once

#include <string>

// Bytes that would steer a terminal or not show at all (control characters, C1 controls,
// direction marks, zero-width characters, byte order marks, stray bytes that are not
// UTF-8) come out as \xNN; other text, UTF-8 included, comes out as it is.
std::string Printable(const std::string& text);
