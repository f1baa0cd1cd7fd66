// Paints the handheld's screen into the SDL window, every screen pixel scale x scale.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/ui.h"
#include "shell/sdl/drawing.h"
#include "shell/sdl/font_files.h"

class ScreenPainter {
public:
    ScreenPainter(int scale, std::vector<std::uint8_t> aboutIconRgba);
    ScreenPainter(const ScreenPainter&) = delete;
    ScreenPainter& operator=(const ScreenPainter&) = delete;
    ScreenPainter(ScreenPainter&&) = delete;
    ScreenPainter& operator=(ScreenPainter&&) = delete;
    ~ScreenPainter();

    // Needs TTF_Init; false with a reason when a font or a surface cannot be made.
    bool Open(const FontFiles& files, std::string* error);
    // The whole screen onto the window's surface at its top-left corner: title bar, the frame
    // through ComposeFrame, menu bar, popups, the buttons and the About box.
    bool Paint(SDL_Surface* target, ShellUi& ui, std::string* error);

private:
    enum FontKind { kTitleFont, kMenuFont, kBodyFont, kFontKinds };
    static_assert(kFontKinds <= SdlFonts::kMaxKinds);
    enum class Align : std::uint8_t { Left, Centre };

    [[nodiscard]] SDL_Rect Scaled(const Rect& r) const;
    void Fill(const Rect& r, Uint32 rgb);
    void Frame(const Rect& r, Uint32 rgb);
    void Text(FontKind kind, const char* text, Uint32 rgb, const Rect& r, Align align, int inset);
    void WrappedText(const char* text, Uint32 rgb, int x, int y, int width);
    SDL_Surface* Rendered(FontKind kind, const char* text, Uint32 rgb, int wrapWidth);
    void UpTriangle(int x, int y, Uint32 rgb);

    void PaintTitleBar(const char* title);
    void PaintFrame(PuzzleGame& game);
    void PaintMenuBar(const ShellUi& ui);
    void PaintButtons(const ShellUi& ui);
    void PaintPopup(const ShellUi& ui);
    void PaintAbout(const ShellUi& ui);

    int m_scale;
    std::vector<std::uint8_t> m_aboutIconRgba;
    SDL_Surface* m_back = nullptr;  // the screen at window size, 0x00RRGGBB pixels
    SDL_Surface* m_aboutIcon = nullptr;
    std::unique_ptr<SoftCanvas> m_canvas;
    SdlFonts m_fonts;
};
