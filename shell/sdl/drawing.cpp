#include "shell/sdl/drawing.h"

SDL_Colour ColourOf(Uint32 rgb) {
    return SDL_Colour{static_cast<Uint8>(rgb >> 16U), static_cast<Uint8>(rgb >> 8U), static_cast<Uint8>(rgb), 255};
}

void FillScaled(SDL_Surface* surface, const Rect& r, int scale, Uint32 rgb) {
    const SDL_Rect s{r.x * scale, r.y * scale, r.w * scale, r.h * scale};
    SDL_FillRect(surface, &s, rgb);
}

void FrameScaled(SDL_Surface* surface, const Rect& r, int scale, Uint32 rgb) {
    FillScaled(surface, Rect{r.x, r.y, r.w, 1}, scale, rgb);
    FillScaled(surface, Rect{r.x, r.y + r.h - 1, r.w, 1}, scale, rgb);
    FillScaled(surface, Rect{r.x, r.y, 1, r.h}, scale, rgb);
    FillScaled(surface, Rect{r.x + r.w - 1, r.y, 1, r.h}, scale, rgb);
}

SdlFonts::~SdlFonts() {
    for (auto& entry : m_kept) {
        SDL_FreeSurface(entry.second);
    }
    for (TTF_Font* font : m_fonts) {
        if (font != nullptr) {
            TTF_CloseFont(font);
        }
    }
}

bool SdlFonts::Open(int kind, const std::string& path, int pixels, bool boldStyle, std::string* error) {
    m_fonts[kind] = TTF_OpenFont(path.c_str(), pixels);
    if (m_fonts[kind] == nullptr) {
        *error = "cannot open the font " + path + ": " + TTF_GetError();
        return false;
    }
    if (boldStyle) {
        TTF_SetFontStyle(m_fonts[kind], TTF_STYLE_BOLD);
    }
    return true;
}

SDL_Surface* SdlFonts::Kept(int kind, const std::string& text, Uint32 rgb, int wrapPixels) {
    const std::string key =
        std::to_string(kind) + ":" + std::to_string(rgb) + ":" + std::to_string(wrapPixels) + ":" + text;
    if (auto found = m_kept.find(key); found != m_kept.end()) {
        return found->second;
    }
    SDL_Surface* surface = Fresh(kind, text, rgb, wrapPixels);
    if (surface != nullptr) {
        m_kept.emplace(key, surface);
    }
    return surface;
}

SDL_Surface* SdlFonts::Fresh(int kind, const std::string& text, Uint32 rgb, int wrapPixels) {
    return wrapPixels > 0 ? TTF_RenderUTF8_Blended_Wrapped(m_fonts[kind], text.c_str(), ColourOf(rgb),
                                                           static_cast<Uint32>(wrapPixels))
                          : TTF_RenderUTF8_Blended(m_fonts[kind], text.c_str(), ColourOf(rgb));
}
