// The companion strip in the SDL window: where its controls lie, which way the window is laid
// out, and the painting, in the handheld's fonts and colours. The handheld's screen keeps the
// window's top-left corner; the strip lies below it (as on a phone held upright) or, where
// the display is wide and that gives a larger scale, to its right.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include "shell/handheld/layout.h"
#include "shell/handheld/strip.h"
#include "shell/sdl/drawing.h"
#include "shell/sdl/font_files.h"

// In screen pixels, from the strip's own top-left corner.
struct StripLayout {
    bool wide = false;
    int width = 0;
    int height = 0;
    Rect status{};
    Rect message{};
    Rect controls[kStripControlCount] = {};  // w == 0: not placed
};

StripLayout MakeStripLayout(bool wide);
// The shown control at a point of the strip, or -1.
int StripControlAt(const StripLayout& layout, const CompanionStrip& strip, int x, int y);

struct WindowPlan {
    int scale;
    bool wide;  // the strip right of the screen, not below it
    int width;  // window pixels
    int height;
};
// The window for the scale asked: the largest scale up to it at which the screen and the strip
// fit the usable area (width x height; 0 when unknown), below the screen unless the area is
// wider than tall and the strip beside the screen allows a larger scale. Without the strip,
// the screen alone.
WindowPlan PlanWindow(int asked, bool withStrip, int usableWidth, int usableHeight);

class StripPainter {
public:
    StripPainter(int scale, const StripLayout& layout) : m_scale(scale), m_layout(layout) {}
    StripPainter(const StripPainter&) = delete;
    StripPainter& operator=(const StripPainter&) = delete;
    StripPainter(StripPainter&&) = delete;
    StripPainter& operator=(StripPainter&&) = delete;
    ~StripPainter();

    // Needs TTF_Init; false with a reason when a font or the surface cannot be made.
    bool Open(const FontFiles& files, std::string* error);
    // The whole strip onto target at window pixel (x, y); `held` is the control the mouse
    // holds down over it, or -1.
    bool Paint(const CompanionStrip& strip, int held, SDL_Surface* target, int x, int y, std::string* error);
    [[nodiscard]] const StripLayout& Layout() const { return m_layout; }

private:
    enum FontKind { kLabelFont, kMessageFont, kFontKinds };
    static_assert(kFontKinds <= SdlFonts::kMaxKinds);

    void Fill(const Rect& r, Uint32 rgb);
    void Frame(const Rect& r, Uint32 rgb);
    void Text(FontKind kind, const std::string& text, Uint32 rgb, const Rect& r, bool centre, bool wrap);

    int m_scale;
    StripLayout m_layout;
    SDL_Surface* m_back = nullptr;
    SdlFonts m_fonts;
};
