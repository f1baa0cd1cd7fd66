// The handheld's window system in miniature: title bar, main window, menu bar with its
// popups, the five buttons and the About box. It holds the game, turns pointer and key events
// into the game's stylus calls and the shared commands, and is the game's Host. No SDL here,
// so it can be tested headless.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "platform/host.h"
#include "shell/commands.h"

// What the window must do after an event.
struct UiOutput {
    bool paintNow = false;             // paint before taking the next event
    bool quit = false;                 // leave the loop; the exit code is 0
    const char* helpTarget = nullptr;  // open this help page ("file#anchor")
    int capture = 0;                   // +1 capture the mouse, -1 release it
};

enum class UiKey : std::uint8_t { CtrlA, CtrlQ, Help, Escape, Enter, Up, Down };

// The letter a key stands for in shortcuts, 'A' to 'Z', or 0 for none, as Windows' virtual
// keys have it: the letter the key types when that is a Latin letter (so AZERTY's A is A);
// none when it types another ASCII character (AZERTY's comma sits where a US M is); else,
// for a letter of another script or no character, the US letter at the key's place (a
// Russian layout's key there is A). typed: what the key types without modifiers, as a
// Unicode code point (0 for nothing); placeLetter: the US letter at its place, or 0.
char ShortcutLetter(std::uint32_t typed, char placeLetter);

class ShellUi final : public Host {
public:
    // A new game with the seed, shown on this window system.
    explicit ShellUi(std::uint32_t seed);
    ShellUi(const ShellUi&) = delete;
    ShellUi& operator=(const ShellUi&) = delete;
    ShellUi(ShellUi&&) = delete;
    ShellUi& operator=(ShellUi&&) = delete;
    ~ShellUi() override = default;

    [[nodiscard]] PuzzleGame& Game() { return m_game; }
    [[nodiscard]] const PuzzleGame& Game() const { return m_game; }

    void InvalidateFrame() override;
    void ShowButton(HostButton button, bool show) override;
    LocalTime GetLocalTime() override;

    // Screen coordinates; while the stylus is captured they may lie off the screen.
    UiOutput PointerDown(int x, int y);
    UiOutput PointerMove(int x, int y);
    UiOutput PointerUp(int x, int y);
    UiOutput Key(UiKey key);

    // Something on the screen changed since the last paint.
    [[nodiscard]] bool NeedsPaint() const { return m_needsPaint; }
    void Painted() { m_needsPaint = false; }

    [[nodiscard]] bool IsButtonVisible(HostButton button) const { return m_visible[Index(button)]; }
    // Bottom to top; a button shown comes to the top.
    [[nodiscard]] const HostButton* ZOrder() const { return m_zOrder; }
    [[nodiscard]] int OpenPopup() const { return m_popup; }
    [[nodiscard]] int HotItem() const { return m_hotItem; }
    [[nodiscard]] bool IsAboutOpen() const { return m_aboutOpen; }
    // The control held down under the pointer, for drawing it pressed.
    [[nodiscard]] int PressedMenuBarButton() const;
    [[nodiscard]] bool IsButtonPressed(HostButton button) const;
    [[nodiscard]] bool IsAboutDonePressed() const;

private:
    enum class Track : std::uint8_t { None, Stylus, MenuBar, Button, PopupItem, AboutDone };

    static int Index(HostButton button) { return static_cast<int>(button); }
    int TopButtonAt(int x, int y) const;
    bool OverTrackedControl(int x, int y) const;
    void Apply(ShellAction action, UiOutput* out);
    void RunCommandId(int command, UiOutput* out);
    void SetPopup(int popup, int hot);
    void SetAbout(bool open);

    PuzzleGame m_game;
    bool m_needsPaint = true;
    bool m_visible[kHostButtonCount] = {};
    HostButton m_zOrder[kHostButtonCount];
    int m_popup = -1;
    int m_hotItem = -1;
    bool m_aboutOpen = false;
    Track m_track = Track::None;
    int m_trackIndex = -1;
    bool m_trackInside = false;
    bool m_hasLastMove = false;
    int m_lastMoveX = 0;
    int m_lastMoveY = 0;
};
