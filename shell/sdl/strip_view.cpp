#include "shell/sdl/strip_view.h"

namespace {

// Below the screen: as wide as it, rows of buttons, the message under them.
constexpr int kTallHeight = 188;
// Beside the screen: as tall as it.
constexpr int kWideWidth = 170;
constexpr int kRowHeight = 24;
constexpr int kRowStep = 26;
constexpr int kGap = 2;

// What a game does comes first.
constexpr StripControl kActions[] = {StripControl::Undo, StripControl::Redo, StripControl::Restart,
                                     StripControl::Shuffle, StripControl::Hint};
constexpr StripControl kLayers[] = {StripControl::LayerUp,    StripControl::LayerDown,  StripControl::LayerLeft,
                                    StripControl::LayerRight, StripControl::LayerFront, StripControl::LayerBack};
constexpr StripControl kWays[] = {StripControl::Clockwise, StripControl::Anticlockwise, StripControl::HalfTurn};
constexpr StripControl kOthers[] = {StripControl::Share, StripControl::TimeShown, StripControl::Best,
                                    StripControl::Keys};
constexpr StripControl kQuestion[] = {StripControl::ShuffleYes, StripControl::ShuffleNo};

// Lays the controls out in rows of `columns` from `top`, each column `weights` parts of the
// width (equal parts without them); returns the top of the next row.
template <std::size_t N>
int Place(StripLayout* layout, const StripControl (&controls)[N], int columns, int left, int width, int top,
          const int* weights = nullptr) {
    auto weight = [weights](int column) { return weights != nullptr ? weights[column] : 1; };
    const int room = width - (columns - 1) * kGap;
    int parts = 0;
    for (int column = 0; column < columns; ++column) {
        parts += weight(column);
    }
    for (std::size_t i = 0; i < N; ++i) {
        const int column = static_cast<int>(i) % columns;
        int before = 0;
        for (int c = 0; c < column; ++c) {
            before += weight(c);
        }
        const int x0 = room * before / parts;
        const int x1 = room * (before + weight(column)) / parts;
        layout->controls[static_cast<int>(controls[i])] =
            Rect{left + x0 + column * kGap, top + static_cast<int>(i) / columns * kRowStep, x1 - x0, kRowHeight};
    }
    return top + (static_cast<int>(N) + columns - 1) / columns * kRowStep;
}

constexpr std::uint32_t kDimInk = kChrome.menuBarLine;
constexpr std::uint32_t kDimFrame = kChrome.menuBarSeparator;

}  // namespace

StripLayout MakeStripLayout(bool wide) {
    StripLayout layout;
    layout.wide = wide;
    const int left = wide ? 4 : 3;  // a line on the edge toward the screen
    const int width = (wide ? kWideWidth : kScreenWidth) - left - 3;
    layout.width = wide ? kWideWidth : kScreenWidth;
    layout.height = wide ? kScreenHeight : kTallHeight;
    // The status (two lines beside the screen, for the question before a shuffle), then the
    // actions, the layers, the ways to turn one and the rest, a row each (the actions and the
    // rest two rows beside the screen), and the message in what is left.
    layout.status = wide ? Rect{6, 4, width - 3, 30} : Rect{6, 4, width - 6, 18};
    const int first = wide ? 38 : 24;
    const int gap = wide ? 4 : 0;
    Place(&layout, kQuestion, wide ? 1 : 2, left, width, first);
    // In one row the longer words take more room.
    constexpr int kActionWeights[] = {4, 4, 5, 5, 4};
    int top = wide ? Place(&layout, kActions, 3, left, width, first)
                   : Place(&layout, kActions, 5, left, width, first, kActionWeights);
    top = Place(&layout, kLayers, 6, left, width, top + gap);
    top = Place(&layout, kWays, 3, left, width, top + gap);
    top = Place(&layout, kOthers, wide ? 2 : 4, left, width, top + gap) + 2;
    layout.message = Rect{6, top, layout.status.w, layout.height - top - 4};
    return layout;
}

int StripControlAt(const StripLayout& layout, const CompanionStrip& strip, int x, int y) {
    for (int i = 0; i < kStripControlCount; ++i) {
        if (layout.controls[i].w > 0 && layout.controls[i].Contains(x, y) &&
            strip.Control(static_cast<StripControl>(i)).shown) {
            return i;
        }
    }
    return -1;
}

WindowPlan PlanWindow(int asked, bool withStrip, int usableWidth, int usableHeight) {
    auto size = [&](bool wide, int scale) {
        const int w = kScreenWidth + (withStrip && wide ? kWideWidth : 0);
        const int h = kScreenHeight + (withStrip && !wide ? kTallHeight : 0);
        return WindowPlan{scale, wide, w * scale, h * scale};
    };
    auto fit = [&](bool wide) {
        WindowPlan plan = size(wide, asked);
        while (plan.scale > kMinScale && usableWidth > 0 && usableHeight > 0 &&
               (plan.width > usableWidth || plan.height > usableHeight)) {
            plan = size(wide, plan.scale - 1);
        }
        return plan;
    };
    const WindowPlan tall = fit(false);
    if (withStrip && usableWidth > usableHeight) {
        const WindowPlan wide = fit(true);
        if (wide.scale > tall.scale) {
            return wide;
        }
    }
    return tall;
}

StripPainter::~StripPainter() {
    SDL_FreeSurface(m_back);
}

bool StripPainter::Open(const FontFiles& files, std::string* error) {
    const int pixels[kFontKinds] = {kMenuFontPixels, kBodyFontPixels};
    for (int kind = 0; kind < kFontKinds; ++kind) {
        if (!m_fonts.Open(kind, files.regular, pixels[kind] * m_scale, false, error)) {
            return false;
        }
    }
    m_back = SDL_CreateRGBSurfaceWithFormat(0, m_layout.width * m_scale, m_layout.height * m_scale, 32,
                                            SDL_PIXELFORMAT_RGB888);
    if (m_back == nullptr) {
        *error = std::string("cannot make the strip's surface: ") + SDL_GetError();
        return false;
    }
    return true;
}

void StripPainter::Fill(const Rect& r, Uint32 rgb) {
    FillScaled(m_back, r, m_scale, rgb);
}

void StripPainter::Frame(const Rect& r, Uint32 rgb) {
    FrameScaled(m_back, r, m_scale, rgb);
}

void StripPainter::Text(FontKind kind, const std::string& text, Uint32 rgb, const Rect& r, bool centre, bool wrap) {
    if (text.empty()) {
        return;
    }
    // The buttons' labels are few and come back; the lines change and are not kept.
    const bool kept = centre && !wrap;
    const int wrapPixels = wrap ? r.w * m_scale : 0;
    SDL_Surface* surface =
        kept ? m_fonts.Kept(kind, text, rgb, wrapPixels) : m_fonts.Fresh(kind, text, rgb, wrapPixels);
    if (surface == nullptr) {
        return;
    }
    const SDL_Rect box{r.x * m_scale, r.y * m_scale, r.w * m_scale, r.h * m_scale};
    SDL_Rect at{box.x, wrap ? box.y : box.y + (box.h - surface->h) / 2, surface->w, surface->h};
    if (centre) {
        at.x = box.x + (box.w - surface->w) / 2;
    }
    SDL_SetClipRect(m_back, &box);
    SDL_BlitSurface(surface, nullptr, m_back, &at);
    SDL_SetClipRect(m_back, nullptr);
    if (!kept) {
        SDL_FreeSurface(surface);
    }
}

bool StripPainter::Paint(const CompanionStrip& strip, int held, SDL_Surface* target, int x, int y, std::string* error) {
    Fill(Rect{0, 0, m_layout.width, m_layout.height}, kChrome.menuBarFace);
    // The edge toward the screen, in the menu bar's line colour.
    Fill(m_layout.wide ? Rect{0, 0, 1, m_layout.height} : Rect{0, 0, m_layout.width, 1}, kChrome.menuBarLine);
    Text(kLabelFont, strip.StatusLine(), kChrome.black, m_layout.status, false, m_layout.wide);
    for (int i = 0; i < kStripControlCount; ++i) {
        const Rect& r = m_layout.controls[i];
        const StripControlState state = strip.Control(static_cast<StripControl>(i));
        if (r.w == 0 || !state.shown) {
            continue;
        }
        Uint32 face = kChrome.white;
        Uint32 ink = kChrome.black;
        Uint32 frame = kChrome.black;
        if (!state.enabled) {
            face = kChrome.menuBarFace;
            ink = kDimInk;
            frame = kDimFrame;
        } else if (i == held) {
            face = kChrome.black;
            ink = kChrome.white;
        } else if (state.selected) {
            face = kChrome.highlight;
            ink = kChrome.white;
        }
        Fill(r, face);
        Frame(r, frame);
        Text(kLabelFont, state.label, ink, r, true, false);
    }
    Text(kMessageFont, strip.MessageLine(), kChrome.black, m_layout.message, false, true);
    SDL_Rect at{x, y, m_back->w, m_back->h};
    if (SDL_BlitSurface(m_back, nullptr, target, &at) != 0) {
        *error = std::string("cannot paint the strip: ") + SDL_GetError();
        return false;
    }
    return true;
}
