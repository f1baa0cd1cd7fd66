// vexalmini: the handheld game in an SDL2 window on the desktop.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "model/puzzle.h"
#include "platform/std_output.h"
#include "shell/handheld/icon.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/strip.h"
#include "shell/handheld/ui.h"
#include "shell/link.h"
#include "shell/sdl/font_files.h"
#include "shell/sdl/help_pages.h"
#include "shell/sdl/kept_game.h"
#include "shell/sdl/message_box.h"
#include "shell/sdl/options.h"
#include "shell/sdl/screen.h"
#include "shell/sdl/strip_view.h"

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

// The strip's parts, when it is shown.
struct StripParts {
    CompanionStrip& strip;
    StripPainter& painter;
    GameKeeper& keeper;
    SDL_Rect area;  // window pixels
};

std::int64_t Now() {
    return static_cast<std::int64_t>(SDL_GetTicks64());
}

class Session {
public:
    Session(SDL_Window* window, ScreenPainter& painter, ShellUi& ui, int scale, std::string fontFile, StripParts* strip)
        : m_window(window),
          m_painter(painter),
          m_ui(ui),
          m_scale(scale),
          m_fontFile(std::move(fontFile)),
          m_strip(strip) {}

    // The screen, the strip, or both; only what was painted goes to the display.
    bool Paint(bool screen = true, bool strip = true) {
        strip = strip && m_strip != nullptr;
        SDL_Surface* target = SDL_GetWindowSurface(m_window);
        std::string error;
        SDL_Rect parts[2];
        int count = 0;
        bool ok = target != nullptr;
        if (!ok) {
            error = std::string("cannot paint the window: ") + SDL_GetError();
        }
        if (ok && screen && (ok = m_painter.Paint(target, m_ui, &error))) {
            m_ui.Painted();
            parts[count++] = SDL_Rect{0, 0, kScreenWidth * m_scale, kScreenHeight * m_scale};
        }
        if (ok && strip &&
            (ok = m_strip->painter.Paint(m_strip->strip, m_held, target, m_strip->area.x, m_strip->area.y, &error))) {
            m_strip->strip.Drawn();
            m_drawnLook = StripLook();
            parts[count++] = m_strip->area;
        }
        if (ok && count > 0 && SDL_UpdateWindowSurfaceRects(m_window, parts, count) != 0) {
            error = std::string("cannot paint the window: ") + SDL_GetError();
            ok = false;
        }
        if (!ok) {
            Fail(error);
            m_failed = true;
        }
        return ok;
    }

    // False once the program is to end.
    bool Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                return false;
            case SDL_WINDOWEVENT:
                switch (event.window.event) {
                    case SDL_WINDOWEVENT_EXPOSED:
                        return Paint();
                    case SDL_WINDOWEVENT_MINIMIZED:
                    case SDL_WINDOWEVENT_HIDDEN:
                        Shown(false);
                        return true;
                    case SDL_WINDOWEVENT_RESTORED:
                    case SDL_WINDOWEVENT_SHOWN:
                        Shown(true);
                        return true;
                    default:
                        return true;
                }
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button != SDL_BUTTON_LEFT) {
                    return true;
                }
                if (OnStrip(event.button.x, event.button.y) && !m_ui.Game().IsStylusHeld()) {
                    return StripDown(event.button.x, event.button.y);
                }
                return Played(m_ui.PointerDown(Screen(event.button.x), Screen(event.button.y)), false);
            case SDL_MOUSEBUTTONUP:
                if (event.button.button != SDL_BUTTON_LEFT) {
                    return true;
                }
                if (m_tracking) {
                    return StripUp(event.button.x, event.button.y);
                }
                return Played(m_ui.PointerUp(Screen(event.button.x), Screen(event.button.y)), true);
            case SDL_MOUSEMOTION:
                if (m_tracking) {
                    StripMove(event.motion.x, event.motion.y);
                    return true;
                }
                if (m_ui.Game().IsStylusHeld() && (event.motion.state & SDL_BUTTON_LMASK) == 0) {
                    // The release went astray (the pointer was grabbed away); end the drag here.
                    return Played(m_ui.PointerUp(Screen(event.motion.x), Screen(event.motion.y)), true);
                }
                return Played(m_ui.PointerMove(Screen(event.motion.x), Screen(event.motion.y)), false);
            case SDL_KEYDOWN:
                return HandleKey(event.key.keysym, event.key.repeat != 0);
            default:
                return true;
        }
    }

private:
    [[nodiscard]] int Screen(int windowPixel) const { return ScreenFromWindow(windowPixel, m_scale); }

    // What the strip shows: it is painted only when that changed (the clock's second, a
    // control enabled), not at every mouse move of a drag. Nor during a drag at all: its
    // controls rest while the stylus is down, and greying them at every drag would flicker.
    [[nodiscard]] std::string StripLook() const {
        const CompanionStrip& strip = m_strip->strip;
        std::string look = strip.StatusLine() + '\n' + strip.MessageLine() + '\n' + std::to_string(m_held);
        for (int i = 0; i < kStripControlCount; ++i) {
            const StripControlState c = strip.Control(static_cast<StripControl>(i));
            look += static_cast<char>('0' + (c.shown ? 1 : 0) + (c.enabled ? 2 : 0) + (c.selected ? 4 : 0));
        }
        return look;
    }

    [[nodiscard]] bool StripChanged() const {
        return m_strip != nullptr && !m_ui.Game().IsStylusHeld() && StripLook() != m_drawnLook;
    }

    [[nodiscard]] bool OnStrip(int x, int y) const {
        if (m_strip == nullptr) {
            return false;
        }
        const SDL_Point point{x, y};
        return SDL_PointInRect(&point, &m_strip->area) == SDL_TRUE;
    }

    [[nodiscard]] int StripControlUnder(int x, int y) const {
        const SDL_Rect& area = m_strip->area;
        return StripControlAt(m_strip->painter.Layout(), m_strip->strip, ScreenFromWindow(x - area.x, m_scale),
                              ScreenFromWindow(y - area.y, m_scale));
    }

    // The strip's buttons act on release over themselves, as the handheld's do.
    bool StripDown(int x, int y) {
        if (m_ui.IsAboutOpen()) {
            return true;  // modal
        }
        if (m_ui.OpenPopup() != -1) {
            // A click outside an open popup only closes it.
            return Follow(m_ui.Key(UiKey::Escape));
        }
        const int control = StripControlUnder(x, y);
        if (control == -1 || !m_strip->strip.Control(static_cast<StripControl>(control)).enabled) {
            return true;
        }
        m_tracking = true;
        m_trackedControl = control;
        m_held = control;
        return Paint(false, true);
    }

    void StripMove(int x, int y) {
        const int held = StripControlUnder(x, y) == m_trackedControl ? m_trackedControl : -1;
        if (held != m_held) {
            m_held = held;
            Paint(false, true);
        }
    }

    bool StripUp(int x, int y) {
        const int control = m_trackedControl;
        const bool inside = StripControlUnder(x, y) == control;
        m_tracking = false;
        m_trackedControl = -1;
        m_held = -1;
        if (!inside) {
            return Paint(false, true);
        }
        if (static_cast<StripControl>(control) == StripControl::Share) {
            Share();
            return Paint(false, true);
        }
        return Played(m_strip->strip.Press(static_cast<StripControl>(control), Now()), true);
    }

    void Share() {
        CompanionStrip& strip = m_strip->strip;
        if (!strip.Control(StripControl::Share).enabled) {
            return;
        }
        const std::string link = strip.ShareLink();  // says why when there is none
        if (link.empty()) {
            return;
        }
        if (SDL_SetClipboardText(link.c_str()) == 0) {
            strip.Say("Link copied");
        } else {
            Fail(std::string("cannot copy the link: ") + SDL_GetError());
            strip.Say("The link could not be copied.");
        }
    }

    // After anything that reached the game: the strip looks at it, and the game is kept when
    // KEEP (at a release, a key, a control: not at every mouse move, as a drag commits on
    // release).
    bool Played(const UiOutput& out, bool keep) {
        if (m_strip != nullptr) {
            m_strip->strip.AfterEvent(Now());
            if (keep) {
                Keep();
            }
        }
        return Follow(out);
    }

    void Shown(bool visible) {
        m_visible = visible;
        if (m_strip != nullptr) {
            m_strip->strip.SetVisible(visible, Now());
            if (!visible) {
                Keep();  // the time so far: a hidden window may be closed without a word
            }
        }
    }

    bool HandleKey(const SDL_Keysym& key, bool repeat) {
        // A held key repeats only to walk a popup; F1 held down must not open page after page.
        if (repeat && key.sym != SDLK_UP && key.sym != SDLK_DOWN) {
            return true;
        }
        // SDL's letter scancodes are the US keyboard's places, A to Z in a row.
        const char place = key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z
                               ? static_cast<char>('A' + (key.scancode - SDL_SCANCODE_A))
                               : '\0';
        const char letter = ShortcutLetter(static_cast<std::uint32_t>(key.sym), place);
        const bool ctrl = (key.mod & KMOD_CTRL) != 0;
        if (ctrl && letter == 'A') {
            return Follow(m_ui.Key(UiKey::CtrlA));
        }
        if (ctrl && letter == 'Q') {
            return Follow(m_ui.Key(UiKey::CtrlQ));
        }
        if (m_strip != nullptr && letter != '\0' && (key.mod & (KMOD_ALT | KMOD_GUI)) == 0 && m_ui.OpenPopup() == -1 &&
            !m_ui.IsAboutOpen()) {
            return StripKey(letter, ctrl, (key.mod & KMOD_SHIFT) != 0);
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

    // The strip's keys: a side or the whole puzzle turned, undo and redo, a hint.
    bool StripKey(char letter, bool ctrl, bool shift) {
        CompanionStrip& strip = m_strip->strip;
        if (ctrl) {
            if (letter == 'Z') {
                return Played(shift ? strip.RedoKey(Now()) : strip.UndoKey(Now()), true);
            }
            return letter == 'Y' ? Played(strip.RedoKey(Now()), true) : true;
        }
        for (int side = 0; side < kViewFaceCount; ++side) {
            if (letter == kViewFaceLetters[side]) {
                return Played(strip.TurnKey(static_cast<ViewFace>(side), shift, Now()), true);
            }
        }
        if (letter == 'H') {
            return Played(strip.HintKey(Now()), true);
        }
        // About the axes through the right, upper and front sides.
        const char* const wholeTurns = "XYZ";
        const ViewFace axes[] = {ViewFace::Right, ViewFace::Up, ViewFace::Front};
        for (int axis = 0; axis < 3; ++axis) {
            if (letter == wholeTurns[axis]) {
                return Played(strip.WholeTurnKey(axes[axis], shift, Now()), true);
            }
        }
        return true;
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
        return !out.paintNow || Paint(true, StripChanged());
    }

    // A box of its own, outside the handheld's screen: the player may have no terminal to read.
    void HelpFailed(const std::string& message) {
        Fail(message);
        if (!ShowMessage(m_window, "VexalMini Help", message, m_fontFile)) {
            Fail(std::string("cannot show a message box: ") + SDL_GetError());
        }
        m_ui.InvalidateFrame();  // what the box covered
        m_stripStale = m_strip != nullptr;
    }

public:
    [[nodiscard]] bool Failed() const { return m_failed; }

    // Keeps the game when it changed since it was last kept, and says what went wrong, once.
    void Keep() {
        if (m_strip == nullptr) {
            return;
        }
        m_strip->keeper.Keep(m_strip->strip.SaveText());
        if (std::string message = m_strip->keeper.TakeMessage(); !message.empty()) {
            m_strip->strip.Say(std::move(message));
        }
    }

    // How long the loop may wait for the next event: not long while a help page is on its way,
    // and until the clock shows the next second while it runs in sight.
    [[nodiscard]] int WaitMs() const {
        int wait = m_help.Watching() ? HelpPages::kPollMs : -1;
        if (m_strip != nullptr && m_visible && m_strip->strip.ClockRunning() &&
            m_strip->strip.Control(StripControl::TimeShown).selected) {
            const int next = 1000 - static_cast<int>(m_strip->strip.ElapsedMs() % 1000) + 1;
            wait = wait < 0 ? next : std::min(wait, next);
        }
        return wait;
    }

    void PollHelp() {
        if (std::string message; m_help.Poll(&message)) {
            HelpFailed(message);
        }
    }

    // Between events: the clock moves on, and what changed is painted.
    bool Refresh() {
        if (m_strip != nullptr) {
            m_strip->strip.Tick(Now());
        }
        const bool stripNeeded = m_stripStale || StripChanged();
        m_stripStale = false;
        if (m_ui.NeedsPaint() || stripNeeded) {
            return Paint(m_ui.NeedsPaint(), stripNeeded);
        }
        return true;
    }

private:
    SDL_Window* m_window;
    ScreenPainter& m_painter;
    ShellUi& m_ui;
    int m_scale;
    std::string m_fontFile;
    StripParts* m_strip;
    HelpPages m_help;
    bool m_failed = false;
    bool m_visible = true;
    bool m_stripStale = false;
    bool m_tracking = false;  // a press on one of the strip's controls
    int m_trackedControl = -1;
    int m_held = -1;  // drawn pressed: tracked and under the pointer
    std::string m_drawnLook;
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
    const bool withStrip = !options.classic;
    // A window taller than the screen hides its title bar or its menu bar, out of reach.
    SDL_Rect usable{};
    const bool known = SDL_GetDisplayUsableBounds(0, &usable) == 0;
    const WindowPlan plan = PlanWindow(options.scale, withStrip, known ? usable.w : 0, known ? usable.h : 0);
    const int s = plan.scale;
    if (s != options.scale) {
        const WindowPlan wanted = PlanWindow(options.scale, withStrip, 0, 0);
        std::fprintf(stderr,
                     "vexalmini: at --scale %d the window (%d x %d) is larger than the screen's usable area "
                     "(%d x %d); using --scale %d\n",
                     options.scale, wanted.width, wanted.height, usable.w, usable.h, s);
    }
    SDL_Window* window = SDL_CreateWindow("Vexal Mini", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, plan.width,
                                          plan.height, SDL_WINDOW_HIDDEN);
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
        // Which game opens: a link given, else a seed given, else the kept game, else a new one.
        CompanionStrip strip(ui);
        strip.Tick(Now());  // the clock's start, before a kept game may set it running
        GameKeeper keeper(withStrip ? KeptGamePath(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")) : "");
        if (withStrip) {
            // Read even when a seed or a link opens a game of its own: the kept save gives the
            // settings and results, which the next save must not lose.
            const std::string* saved = keeper.Load();
            const SaveRead read = strip.Open(options.hasGame ? options.game.c_str() : nullptr,
                                             options.hasSeed ? &options.seed : nullptr, saved, MakeTimeSeed(nullptr));
            if (saved != nullptr) {
                keeper.Opened(read);
            }
            if (std::string message = keeper.TakeMessage(); !message.empty()) {
                strip.Say(std::move(message));
            }
        } else if (std::string problem; options.hasGame && !OpenLink(options.game, &ui, &ui.Game(), &problem)) {
            Fail("--game: " + problem);
        }
        const StripLayout layout = MakeStripLayout(plan.wide);
        StripPainter stripPainter(s, layout);
        StripParts parts{strip, stripPainter, keeper,
                         SDL_Rect{plan.wide ? kScreenWidth * s : 0, plan.wide ? 0 : kScreenHeight * s, layout.width * s,
                                  layout.height * s}};
        std::string error;
        if (!painter.Open(fonts, &error) || (withStrip && !stripPainter.Open(fonts, &error))) {
            Fail(error);
        } else {
            // The window's surface exists before the window is shown, so the window shown is the one that stays.
            SDL_GetWindowSurface(window);
            SDL_ShowWindow(window);
            Session session(window, painter, ui, s, fonts.regular, withStrip ? &parts : nullptr);
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
                if (running) {
                    running = session.Refresh();
                }
            }
            // The game as it was left, time and all.
            strip.Tick(Now());
            session.Keep();
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
