// Telling the player something off the handheld's screen, in a box of its own.
#pragma once

#include <SDL.h>

#include <string>

// The system's message box where SDL can show one. SDL's box on X11 needs the server's core
// fonts, which many servers lack; then a plain window of ours shows the text in the game's
// font (fontFile) with an OK button. Returns once the player has closed it (Return, Escape,
// OK or the window's close button); false when neither could be shown. Modal: events for
// other windows meanwhile are dropped, but a quit is kept for the caller.
bool ShowMessage(SDL_Window* parent, const char* title, const std::string& text, const std::string& fontFile);
