// What the screen's and the strip's painters share: filling and outlining in screen pixels on
// a surface at the window's scale, and the fonts with the texts drawn in them.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <string>

#include "shell/handheld/layout.h"

SDL_Colour ColourOf(Uint32 rgb);
// r in screen pixels, each scale x scale on the surface.
void FillScaled(SDL_Surface* surface, const Rect& r, int scale, Uint32 rgb);
// A one-pixel outline just inside r.
void FrameScaled(SDL_Surface* surface, const Rect& r, int scale, Uint32 rgb);

// Fonts by kind, and the texts drawn in them. Texts that come back (captions, labels) are
// kept here; a line that changes each time is drawn fresh and freed by the caller.
class SdlFonts {
public:
    static constexpr int kMaxKinds = 3;

    SdlFonts() = default;
    SdlFonts(const SdlFonts&) = delete;
    SdlFonts& operator=(const SdlFonts&) = delete;
    SdlFonts(SdlFonts&&) = delete;
    SdlFonts& operator=(SdlFonts&&) = delete;
    ~SdlFonts();

    // Needs TTF_Init. boldStyle emboldens a face that has no bold file of its own. False with
    // a reason when the file cannot be opened.
    bool Open(int kind, const std::string& path, int pixels, bool boldStyle, std::string* error);
    // text in rgb, wrapped at wrapPixels when that is above 0; null when it cannot be drawn.
    SDL_Surface* Kept(int kind, const std::string& text, Uint32 rgb, int wrapPixels);
    SDL_Surface* Fresh(int kind, const std::string& text, Uint32 rgb, int wrapPixels);
    [[nodiscard]] TTF_Font* Font(int kind) const { return m_fonts[kind]; }

private:
    TTF_Font* m_fonts[kMaxKinds] = {};
    std::map<std::string, SDL_Surface*> m_kept;
};
