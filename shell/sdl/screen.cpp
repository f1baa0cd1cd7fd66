#include "shell/sdl/screen.h"

#include <algorithm>
#include <utility>

#include "render/frame.h"

namespace {

constexpr Uint32 kTitleTop = kChrome.titleTop;
constexpr Uint32 kTitleBottom = kChrome.titleBottom;
constexpr Uint32 kWhite = kChrome.white;
constexpr Uint32 kBlack = kChrome.black;
constexpr Uint32 kMenuBarFace = kChrome.menuBarFace;
constexpr Uint32 kMenuBarLine = kChrome.menuBarLine;
constexpr Uint32 kMenuBarSeparator = kChrome.menuBarSeparator;
constexpr Uint32 kHighlight = kChrome.highlight;

constexpr int kFontPixels[] = {kTitleFontPixels, kMenuFontPixels, kBodyFontPixels};

}  // namespace

ScreenPainter::ScreenPainter(int scale, std::vector<std::uint8_t> aboutIconRgba)
    : m_scale(scale), m_aboutIconRgba(std::move(aboutIconRgba)), m_canvas(std::make_unique<SoftCanvas>()) {}

ScreenPainter::~ScreenPainter() {
    SDL_FreeSurface(m_aboutIcon);
    SDL_FreeSurface(m_back);
}

bool ScreenPainter::Open(const FontFiles& files, std::string* error) {
    for (int kind = 0; kind < kFontKinds; ++kind) {
        const bool bold = kind == kTitleFont && !files.bold.empty();
        if (!m_fonts.Open(kind, bold ? files.bold : files.regular, kFontPixels[kind] * m_scale,
                          kind == kTitleFont && !bold, error)) {
            return false;
        }
    }
    m_back =
        SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth * m_scale, kScreenHeight * m_scale, 32, SDL_PIXELFORMAT_RGB888);
    const int iconSide = kAboutIcon.w * m_scale;
    if (m_aboutIconRgba.size() == static_cast<std::size_t>(iconSide) * static_cast<std::size_t>(iconSide) * 4U) {
        m_aboutIcon = SDL_CreateRGBSurfaceWithFormatFrom(m_aboutIconRgba.data(), iconSide, iconSide, 32, iconSide * 4,
                                                         SDL_PIXELFORMAT_RGBA32);
    }
    if (m_back == nullptr || m_aboutIcon == nullptr) {
        *error = std::string("cannot make the screen surfaces: ") + SDL_GetError();
        return false;
    }
    return true;
}

SDL_Rect ScreenPainter::Scaled(const Rect& r) const {
    return SDL_Rect{r.x * m_scale, r.y * m_scale, r.w * m_scale, r.h * m_scale};
}

void ScreenPainter::Fill(const Rect& r, Uint32 rgb) {
    FillScaled(m_back, r, m_scale, rgb);
}

void ScreenPainter::Frame(const Rect& r, Uint32 rgb) {
    FrameScaled(m_back, r, m_scale, rgb);
}

// The screen's texts are few and come back at every paint: all are kept.
SDL_Surface* ScreenPainter::Rendered(FontKind kind, const char* text, Uint32 rgb, int wrapWidth) {
    return m_fonts.Kept(kind, text, rgb, wrapWidth * m_scale);
}

void ScreenPainter::Text(FontKind kind, const char* text, Uint32 rgb, const Rect& r, Align align, int inset) {
    SDL_Surface* surface = Rendered(kind, text, rgb, 0);
    if (surface == nullptr) {
        return;
    }
    const SDL_Rect box = Scaled(r);
    SDL_Rect at{0, box.y + (box.h - surface->h) / 2, surface->w, surface->h};
    at.x = align == Align::Centre ? box.x + (box.w - surface->w) / 2 : box.x + inset * m_scale;
    SDL_SetClipRect(m_back, &box);
    SDL_BlitSurface(surface, nullptr, m_back, &at);
    SDL_SetClipRect(m_back, nullptr);
}

void ScreenPainter::WrappedText(const char* text, Uint32 rgb, int x, int y, int width) {
    SDL_Surface* surface = Rendered(kBodyFont, text, rgb, width);
    if (surface != nullptr) {
        SDL_Rect at{x * m_scale, y * m_scale, surface->w, surface->h};
        SDL_BlitSurface(surface, nullptr, m_back, &at);
    }
}

void ScreenPainter::UpTriangle(int x, int y, Uint32 rgb) {
    // Five pixels wide, three high, pointing at the popup above.
    for (int row = 0; row < 3; ++row) {
        Fill(Rect{x + 2 - row, y + row, 1 + 2 * row, 1}, rgb);
    }
}

void ScreenPainter::PaintTitleBar(const char* title) {
    const SDL_Rect bar = Scaled(kTitleBar);
    for (int row = 0; row < bar.h; ++row) {
        auto mix = [&](unsigned shift) {
            const int top = static_cast<int>((kTitleTop >> shift) & 0xFFU);
            const int bottom = static_cast<int>((kTitleBottom >> shift) & 0xFFU);
            return static_cast<Uint32>(top + (bottom - top) * row / std::max(1, bar.h - 1));
        };
        const SDL_Rect line{bar.x, bar.y + row, bar.w, 1};
        SDL_FillRect(m_back, &line, (mix(16) << 16U) | (mix(8) << 8U) | mix(0));
    }
    Text(kTitleFont, title, kWhite, kTitleBar, Align::Left, 8);
}

void ScreenPainter::PaintFrame(PuzzleGame& game) {
    ComposeFrame(game, *m_canvas);
    const std::uint8_t* rgb = m_canvas->Rgb();
    const int s = m_scale;
    for (int y = 0; y < kFrameHeight; ++y) {
        const int wy = (kMainWindow.y + y) * s;
        auto* first = reinterpret_cast<Uint32*>(static_cast<Uint8*>(m_back->pixels) + wy * m_back->pitch);
        for (int x = 0; x < kFrameWidth; ++x) {
            const std::uint8_t* p = rgb + (y * kFrameWidth + x) * 3;
            const Uint32 pixel = (static_cast<Uint32>(p[0]) << 16U) | (static_cast<Uint32>(p[1]) << 8U) | p[2];
            std::fill(first + (kMainWindow.x + x) * s, first + (kMainWindow.x + x + 1) * s, pixel);
        }
        for (int copy = 1; copy < s; ++copy) {
            std::copy(first, first + kScreenWidth * s,
                      reinterpret_cast<Uint32*>(static_cast<Uint8*>(m_back->pixels) + (wy + copy) * m_back->pitch));
        }
    }
}

void ScreenPainter::PaintMenuBar(const ShellUi& ui) {
    Fill(kMenuBar, kMenuBarFace);
    Fill(Rect{kMenuBar.x, kMenuBar.y, kMenuBar.w, 1}, kMenuBarLine);
    const int lit = ui.PressedMenuBarButton();
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        const Rect r = MenuBarButtonRect(i);
        const Uint32 ink = i == lit ? kWhite : kBlack;
        if (i == lit) {
            Fill(Rect{r.x, r.y + 1, r.w, r.h - 1}, kHighlight);
        } else if (i > 0 && i - 1 != lit) {
            Fill(Rect{r.x, r.y + 6, 1, r.h - 12}, kMenuBarSeparator);
        }
        if (kMenuBarButtons[i].popup == kNoPopup) {
            Text(kMenuFont, kMenuBarButtons[i].caption, ink, Rect{r.x, r.y + 1, r.w, r.h - 1}, Align::Centre, 0);
        } else {
            // Caption and the drop-down mark, centred together.
            Text(kMenuFont, kMenuBarButtons[i].caption, ink, Rect{r.x, r.y + 1, r.w - 8, r.h - 1}, Align::Centre, 0);
            int w = 0;
            TTF_SizeUTF8(m_fonts.Font(kMenuFont), kMenuBarButtons[i].caption, &w, nullptr);
            UpTriangle(r.x + (r.w - 8 + w / m_scale) / 2 + 3, r.y + 12, ink);
        }
    }
}

void ScreenPainter::PaintButtons(const ShellUi& ui) {
    const HostButton* order = ui.ZOrder();
    for (int i = 0; i < kHostButtonCount; ++i) {
        const HostButton b = order[i];
        if (!ui.IsButtonVisible(b)) {
            continue;
        }
        const ButtonSpec& entry = ButtonSpecOf(b);
        const bool pressed = ui.IsButtonPressed(b);
        Fill(entry.rect, pressed ? kBlack : kWhite);
        Frame(entry.rect, kBlack);
        Text(kMenuFont, entry.caption, pressed ? kWhite : kBlack, entry.rect, Align::Centre, 0);
    }
}

void ScreenPainter::PaintPopup(const ShellUi& ui) {
    const int popup = ui.OpenPopup();
    if (popup == -1) {
        return;
    }
    const Rect box = PopupRect(popup);
    Fill(box, kWhite);
    Frame(box, kBlack);
    for (int i = 0; i < PopupItemCount(popup); ++i) {
        const Rect r = PopupItemRect(popup, i);
        const bool hot = i == ui.HotItem();
        if (hot) {
            Fill(r, kHighlight);
        }
        Text(kMenuFont, PopupItemOf(popup, i).caption, hot ? kWhite : kBlack, r, Align::Left, 8);
    }
}

void ScreenPainter::PaintAbout(const ShellUi& ui) {
    PaintTitleBar(kAboutTitle);
    // The Done button of the title bar, which the device labels "ok".
    const bool pressed = ui.IsAboutDonePressed();
    Fill(kAboutDone, pressed ? kWhite : kHighlight);
    Frame(kAboutDone, kWhite);
    Text(kTitleFont, "ok", pressed ? kHighlight : kWhite, kAboutDone, Align::Centre, 0);

    Fill(Rect{0, kTitleBar.h, kScreenWidth, kScreenHeight - kTitleBar.h}, kWhite);
    SDL_Rect icon = Scaled(kAboutIcon);
    SDL_BlitSurface(m_aboutIcon, nullptr, m_back, &icon);
    const int textWidth = kScreenWidth - kAboutTextX - 8;
    const char* const texts[3] = {kVersionLine, kAcknowledgement, kSoftwareNotice};
    for (int i = 0; i < 3; ++i) {
        WrappedText(texts[i], kBlack, kAboutTextX, kTitleBar.h + kAboutTextTops[i], textWidth);
    }
}

bool ScreenPainter::Paint(SDL_Surface* target, ShellUi& ui, std::string* error) {
    if (ui.IsAboutOpen()) {
        // Full screen and modal: the frame and the buttons lie under it.
        PaintAbout(ui);
    } else {
        PaintTitleBar(kTitleText);
        PaintFrame(ui.Game());
        PaintMenuBar(ui);
        PaintButtons(ui);
        PaintPopup(ui);
    }
    if (SDL_BlitSurface(m_back, nullptr, target, nullptr) != 0) {
        *error = std::string("cannot paint the window: ") + SDL_GetError();
        return false;
    }
    return true;
}
