// vexalmini: the handheld game in an SDL2 window on the desktop.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "model/puzzle.h"
#include "platform/std_output.h"
#include "shell/handheld/icon.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/ui.h"
#include "shell/sdl/font_files.h"
#include "shell/sdl/help_pages.h"
#include "shell/sdl/message_box.h"
#include "shell/sdl/options.h"
#include "shell/sdl/screen.h"

namespace {

constexpr int kWindowIconSize = 64;

void Fail(const std::string& message) {
    std::fprintf(stderr, "vexalmini: %s\n", message.c_str());
}

bool HasEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::string NoWindowText(const std::string& reason) {
    std::string text = "cannot open a window: " + reason;
    if (!HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
        text +=
            "\nThere is no display (DISPLAY and WAYLAND_DISPLAY are unset). Run it on a desktop, or play\n"
            "without a window through vexal-replay: vexal-replay SCRIPT --frame out.png";
    }
    return text;
}

class Session {
public:
    Session(SDL_Window* window, ScreenPainter& painter, ShellUi& ui, int scale, std::string fontFile)
        : m_window(window), m_painter(painter), m_ui(ui), m_scale(scale), m_fontFile(std::move(fontFile)) {}

    bool Paint() {
        std::string error;
        if (!m_painter.Paint(m_window, m_ui, &error)) {
            Fail(error);
            m_failed = true;
            return false;
        }
        m_ui.Painted();
        return true;
    }

    // False once the program is to end.
    bool Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                return false;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    return Paint();
                }
                return true;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    return Follow(m_ui.PointerDown(Screen(event.button.x), Screen(event.button.y)));
                }
                return true;
            case SDL_MOUSEBUTTONUP:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    return Follow(m_ui.PointerUp(Screen(event.button.x), Screen(event.button.y)));
                }
                return true;
            case SDL_MOUSEMOTION:
                if (m_ui.Game().IsStylusHeld() && (event.motion.state & SDL_BUTTON_LMASK) == 0) {
                    // The release went astray (the pointer was grabbed away); end the drag here.
                    return Follow(m_ui.PointerUp(Screen(event.motion.x), Screen(event.motion.y)));
                }
                return Follow(m_ui.PointerMove(Screen(event.motion.x), Screen(event.motion.y)));
            case SDL_KEYDOWN:
                return HandleKey(event.key.keysym, event.key.repeat != 0);
            default:
                return true;
        }
    }

private:
    [[nodiscard]] int Screen(int windowPixel) const { return ScreenFromWindow(windowPixel, m_scale); }

    bool HandleKey(const SDL_Keysym& key, bool repeat) {
        // A held key repeats only to walk a popup; F1 held down must not open page after page.
        if (repeat && key.sym != SDLK_UP && key.sym != SDLK_DOWN) {
            return true;
        }
        if ((key.mod & KMOD_CTRL) != 0) {
            // SDL's letter scancodes are the US keyboard's places, A to Z in a row.
            const char place = key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z
                                   ? static_cast<char>('A' + (key.scancode - SDL_SCANCODE_A))
                                   : '\0';
            const char letter = ShortcutLetter(static_cast<std::uint32_t>(key.sym), place);
            if (letter == 'A') {
                return Follow(m_ui.Key(UiKey::CtrlA));
            }
            if (letter == 'Q') {
                return Follow(m_ui.Key(UiKey::CtrlQ));
            }
        }
        switch (key.sym) {
            case SDLK_F1:
                return Follow(m_ui.Key(UiKey::Help));
            case SDLK_ESCAPE:
                return Follow(m_ui.Key(UiKey::Escape));
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
                return Follow(m_ui.Key(UiKey::Enter));
            case SDLK_UP:
                return Follow(m_ui.Key(UiKey::Up));
            case SDLK_DOWN:
                return Follow(m_ui.Key(UiKey::Down));
            default:
                return true;
        }
    }

    bool Follow(const UiOutput& out) {
        if (out.capture != 0) {
            SDL_CaptureMouse(out.capture > 0 ? SDL_TRUE : SDL_FALSE);
        }
        if (std::string message; out.helpTarget != nullptr && !m_help.Open(out.helpTarget, &message)) {
            HelpFailed(message);
        }
        if (out.quit) {
            return false;
        }
        return !out.paintNow || Paint();
    }

    // A box of its own, outside the handheld's screen: the player may have no terminal to read.
    void HelpFailed(const std::string& message) {
        Fail(message);
        if (!ShowMessage(m_window, "VexalMini Help", message, m_fontFile)) {
            Fail(std::string("cannot show a message box: ") + SDL_GetError());
        }
        m_ui.InvalidateFrame();  // what the box covered
    }

public:
    [[nodiscard]] bool Failed() const { return m_failed; }

    // How long the loop may wait for the next event: not long while a help page is on its way.
    [[nodiscard]] int WaitMs() const { return m_help.Watching() ? HelpPages::kPollMs : -1; }

    void PollHelp() {
        if (std::string message; m_help.Poll(&message)) {
            HelpFailed(message);
        }
    }

private:
    SDL_Window* m_window;
    ScreenPainter& m_painter;
    ShellUi& m_ui;
    int m_scale;
    std::string m_fontFile;
    HelpPages m_help;
    bool m_failed = false;
};

int Run(const Options& options, const FontFiles& fonts) {
    // The game and the window system that shows it. Seeded by --seed, else from the clock as
    // the device seeds it.
    ShellUi ui(options.hasSeed ? options.seed : MakeTimeSeed(nullptr));
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The screen is drawn in software; a GL-backed surface would only probe GL and may
    // recreate the window on its first paint.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // With no display named there is nothing for SDL to find, and its Wayland probe would
    // print its own complaint ahead of ours. A driver asked for by name is still tried.
    if (!HasEnv("SDL_VIDEODRIVER") && !HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
        Fail(NoWindowText("no display"));
        return 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        Fail(NoWindowText(SDL_GetError()));
        return 1;
    }
    // When its first try at the display fails, SDL falls back to drivers that show nothing.
    // Unless one of those was asked for, try the named display once more, else refuse.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if ((asked == nullptr || *asked == '\0') && driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        const char* retry = HasEnv("DISPLAY") ? "x11" : HasEnv("WAYLAND_DISPLAY") ? "wayland" : nullptr;
        if (retry == nullptr || SDL_VideoInit(retry) != 0) {
            if (retry == nullptr) {
                SDL_SetError("no video device");
            }
            Fail(NoWindowText(SDL_GetError()));
            SDL_Quit();
            return 1;
        }
    }
    if (TTF_Init() != 0) {
        Fail(std::string("cannot start SDL_ttf: ") + TTF_GetError());
        SDL_Quit();
        return 1;
    }
    int status = 1;
    int s = options.scale;
    // A window taller than the screen hides its title bar or its menu bar, out of reach.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        const int fits = FitScale(s, usable.w, usable.h);
        if (fits != s) {
            std::fprintf(stderr,
                         "vexalmini: at --scale %d the window (%d x %d) is larger than the screen's usable area "
                         "(%d x %d); using --scale %d\n",
                         s, kScreenWidth * s, kScreenHeight * s, usable.w, usable.h, fits);
            s = fits;
        }
    }
    SDL_Window* window = SDL_CreateWindow("Vexal Mini", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          kScreenWidth * s, kScreenHeight * s, SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        Fail(NoWindowText(SDL_GetError()));
    } else {
        // The icons show the puzzle as it starts, so they are drawn before any move.
        std::vector<std::uint8_t> iconRgba = MakeIconRgba(ui.Game(), kWindowIconSize);
        if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(iconRgba.data(), kWindowIconSize, kWindowIconSize,
                                                                   32, kWindowIconSize * 4, SDL_PIXELFORMAT_RGBA32);
            icon != nullptr) {
            SDL_SetWindowIcon(window, icon);
            SDL_FreeSurface(icon);
        }
        ScreenPainter painter(s, MakeIconRgba(ui.Game(), kAboutIcon.w * s));
        std::string error;
        if (!painter.Open(fonts, &error)) {
            Fail(error);
        } else {
            // The window's surface exists before the window is shown, so the window shown is the one that stays.
            SDL_GetWindowSurface(window);
            SDL_ShowWindow(window);
            Session session(window, painter, ui, s, fonts.regular);
            bool running = session.Paint();
            bool lost = false;
            SDL_Event event;
            while (running) {
                // A timed wait that ends with no event has timed out; waiting for ever, it failed.
                const int waitMs = session.WaitMs();
                if (SDL_WaitEventTimeout(&event, waitMs) != 0) {
                    do {
                        running = session.Handle(event);
                    } while (running && SDL_PollEvent(&event) != 0);
                } else if (waitMs < 0) {
                    Fail(std::string("lost the window system: ") + SDL_GetError());
                    lost = true;
                    break;
                }
                session.PollHelp();
                if (running && ui.NeedsPaint()) {
                    running = session.Paint();
                }
            }
            // Every way of quitting ends with 0; only a failure of the window itself does not.
            status = lost || session.Failed() ? 1 : 0;
            SDL_CaptureMouse(SDL_FALSE);
        }
        SDL_DestroyWindow(window);
    }
    // No SDL_Quit: the process ends here and the window system takes everything back.
    // SDL_Quit would unload the X11 libraries, and what they keep to the end would then
    // show up in leak checks with no library to tell where it came from.
    TTF_Quit();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        Fail(error);
        std::fputs(UsageText(argv[0]).c_str(), stderr);
        return 2;
    }
    if (options.help || options.version) {
        if (!WriteStdout(options.help ? UsageText(argv[0]) : VersionText(), &error)) {
            Fail(error);
            return 1;
        }
        return 0;
    }
    FontFiles fonts;
    if (!FindFontFiles(&fonts)) {
        Fail(kFontMissingHelp);
        return 1;
    }
    return Run(options, fonts);
}
