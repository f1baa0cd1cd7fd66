// The handheld's window system without a display: layout, and events to commands.
#include <gtest/gtest.h>

#include <memory>

#include "render/projection.h"
#include "shell/commands.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/ui.h"

namespace {

Rect Centre(const Rect& r) {
    return Rect{r.x + r.w / 2, r.y + r.h / 2, 1, 1};
}

TEST(Handheld, EveryButtonIsFoundByItsOwnEntry) {
    for (const ButtonSpec& entry : kButtons) {
        EXPECT_EQ(&ButtonSpecOf(entry.button), &entry) << entry.caption;
    }
}

TEST(Handheld, MenuBarAndPopupsStayOnTheScreenAboveTheBar) {
    int x = 0;
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        const Rect r = MenuBarButtonRect(i);
        EXPECT_EQ(r.x, x) << "buttons tile the bar";
        EXPECT_EQ(MenuBarButtonAt(r.x, r.y), i);
        EXPECT_EQ(MenuBarButtonAt(r.x + r.w - 1, r.y + r.h - 1), i);
        x += r.w;
    }
    EXPECT_EQ(x, kScreenWidth);
    EXPECT_EQ(MenuBarButtonAt(120, kMenuBar.y - 1), -1);
    for (const int popup : {kPopupNew, kPopupQuit}) {
        const Rect r = PopupRect(popup);
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.w, kScreenWidth);
        EXPECT_EQ(r.y + r.h, kMenuBar.y);
        for (int item = 0; item < PopupItemCount(popup); ++item) {
            const Rect c = Centre(PopupItemRect(popup, item));
            EXPECT_EQ(PopupItemAt(popup, c.x, c.y), item);
        }
    }
}

TEST(Handheld, WindowPixelsMapToScreenPixelsRoundingDown) {
    struct Case {
        int pixel;
        int scale;
        int screen;
    };
    const Case cases[] = {{0, 1, 0},   {239, 1, 239}, {-1, 1, -1}, {0, 2, 0},   {1, 2, 0},    {-1, 2, -1},
                          {-2, 2, -1}, {-3, 2, -2},   {7, 3, 2},   {-4, 3, -2}, {959, 4, 239}};
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenFromWindow(c.pixel, c.scale), c.screen) << c.pixel << " at scale " << c.scale;
    }
    EXPECT_EQ(ClientX(0), 0);
    EXPECT_EQ(ClientY(26), 0);
    EXPECT_EQ(ClientY(0), 0);
}

TEST(Handheld, ScaleIsLoweredUntilTheWindowFitsTheUsableArea) {
    struct Case {
        int asked;
        int width;
        int height;
        int scale;
    };
    const Case cases[] = {
        {4, 1920, 1040, 3},  // a 1080p desktop with a panel: 1280 rows do not fit
        {2, 1920, 1040, 2}, {4, 960, 1280, 4}, {4, 959, 1280, 3},
        {2, 1024, 639, 1},  {2, 200, 200, 1},  // nothing fits: the smallest
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitScale(c.asked, c.width, c.height), c.scale) << c.asked << " in " << c.width << "x" << c.height;
    }
}

TEST(Handheld, ShortcutsTakeTheTypedLatinLetterElseTheKeysPlace) {
    struct Case {
        const char* layout;
        std::uint32_t typed;
        char place;
        char letter;
    };
    const Case cases[] = {
        {"US A", 'a', 'A', 'A'},
        {"AZERTY A, where a US Q is", 'a', 'Q', 'A'},
        {"AZERTY Q, where a US A is", 'q', 'A', 'Q'},
        {"AZERTY comma, where a US M is", ',', 'M', '\0'},
        {"Russian ef, where a US A is", 0x444, 'A', 'A'},
        {"Turkish dotless i, where a US I is", 0x131, 'I', 'I'},
        {"French e acute on the digit row", 0xE9, '\0', '\0'},
        {"Escape", 0x1B, '\0', '\0'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortcutLetter(c.typed, c.place), c.letter) << c.layout;
    }
}

class HandheldUi : public ::testing::Test {
protected:
    void SetUp() override {
        m_owned = std::make_unique<ShellUi>(7);
        m_ui = m_owned.get();
        BuildDrawOrder(game(), game().m_drawOrder);  // as the first paint leaves it
    }
    PuzzleGame& game() { return m_ui->Game(); }

    // A tap: down and up at one screen point; the outputs of both.
    UiOutput Tap(int x, int y) {
        UiOutput a = m_ui->PointerDown(x, y);
        const UiOutput b = m_ui->PointerUp(x, y);
        a.paintNow = a.paintNow || b.paintNow;
        a.quit = a.quit || b.quit;
        a.helpTarget = b.helpTarget != nullptr ? b.helpTarget : a.helpTarget;
        a.capture += b.capture;
        return a;
    }
    UiOutput TapBar(int index) {
        const Rect c = Centre(MenuBarButtonRect(index));
        return Tap(c.x, c.y);
    }
    UiOutput TapItem(int popup, int item) {
        const Rect c = Centre(PopupItemRect(popup, item));
        return Tap(c.x, c.y);
    }
    UiOutput TapButton(HostButton button) {
        const Rect c = Centre(ButtonSpecOf(button).rect);
        return Tap(c.x, c.y);
    }
    bool AnyButtonVisible() const {
        for (const ButtonSpec& b : kButtons) {
            if (m_ui->IsButtonVisible(b.button)) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<ShellUi> m_owned;
    ShellUi* m_ui = nullptr;
};

constexpr int kNew = 0;
constexpr int kSize = 1;
constexpr int kHelp = 2;
constexpr int kAbout = 3;
constexpr int kQuit = 4;

TEST_F(HandheldUi, MenuBarAndPopupsRunTheSharedCommands) {
    struct Case {
        const char* name;
        int bar;
        int item;  // -1: a plain button
        bool shuffles;
        bool quits;
        bool about;
        bool sizeButtons;
        const char* help;
    };
    const Case cases[] = {
        {"New > Shuffle", kNew, 0, true, false, false, false, nullptr},
        {"New > Change Skin", kNew, 1, true, false, false, false, nullptr},
        {"Quit > Yes", kQuit, 0, false, true, false, false, nullptr},
        {"Quit > No", kQuit, 1, false, false, false, false, nullptr},
        {"Size", kSize, -1, false, false, false, true, nullptr},
        {"About", kAbout, -1, false, false, true, false, nullptr},
        {"Help", kHelp, -1, false, false, false, false, kHelpCommandTarget},
    };
    for (const Case& c : cases) {
        SetUp();
        const Skin skin = game().m_skin;
        UiOutput out = TapBar(c.bar);
        if (c.item != -1) {
            EXPECT_FALSE(out.quit) << c.name;
            ASSERT_EQ(m_ui->OpenPopup(), kMenuBarButtons[c.bar].popup) << c.name;
            out = TapItem(m_ui->OpenPopup(), c.item);
            EXPECT_EQ(m_ui->OpenPopup(), -1) << c.name << ": the popup closes";
        }
        EXPECT_EQ(game().m_solved == 0, c.shuffles) << c.name;
        EXPECT_EQ(game().m_skin != skin, c.bar == kNew && c.item == 1) << c.name;
        EXPECT_EQ(out.quit, c.quits) << c.name;
        EXPECT_EQ(m_ui->IsAboutOpen(), c.about) << c.name;
        EXPECT_EQ(m_ui->IsButtonVisible(HostButton::SizeUp), c.sizeButtons) << c.name;
        EXPECT_EQ(m_ui->IsButtonVisible(HostButton::SizeDown), c.sizeButtons) << c.name;
        EXPECT_EQ(m_ui->IsButtonVisible(HostButton::SizeOk), c.sizeButtons) << c.name;
        EXPECT_STREQ(out.helpTarget, c.help) << c.name;
        EXPECT_EQ(out.capture, 0) << c.name;
    }
}

TEST_F(HandheldUi, PlainMenuBarButtonsActOnceOnReleaseOverThemselves) {
    for (const int bar : {kSize, kHelp, kAbout}) {
        SetUp();
        const Rect c = Centre(MenuBarButtonRect(bar));
        auto acted = [&](const UiOutput& out) {
            return AnyButtonVisible() || m_ui->IsAboutOpen() || out.helpTarget != nullptr;
        };
        // Nothing while held, and nothing when let go elsewhere.
        EXPECT_FALSE(acted(m_ui->PointerDown(c.x, c.y))) << bar;
        EXPECT_EQ(m_ui->PressedMenuBarButton(), bar);
        EXPECT_FALSE(acted(m_ui->PointerMove(c.x, c.y - 40))) << bar;
        EXPECT_EQ(m_ui->PressedMenuBarButton(), -1);
        EXPECT_FALSE(acted(m_ui->PointerUp(c.x, c.y - 40))) << bar;
        // Pressed and released over it: it acts, at the release.
        EXPECT_FALSE(acted(m_ui->PointerDown(c.x, c.y))) << bar;
        const UiOutput out = m_ui->PointerUp(c.x, c.y);
        EXPECT_EQ(AnyButtonVisible(), bar == kSize);
        EXPECT_EQ(m_ui->IsAboutOpen(), bar == kAbout);
        EXPECT_EQ(out.helpTarget != nullptr, bar == kHelp);
    }
}

TEST_F(HandheldUi, PopupClosesWithoutActingOnATapOutsideAndSwitchesBetweenDropDowns) {
    TapBar(kNew);
    ASSERT_EQ(m_ui->OpenPopup(), kPopupNew);
    Tap(200, 100);  // over the puzzle: only closes the popup
    EXPECT_EQ(m_ui->OpenPopup(), -1);
    EXPECT_NE(game().m_solved, 0);
    EXPECT_FALSE(game().IsStylusHeld());

    TapBar(kNew);
    TapBar(kNew);  // its own button closes it again
    EXPECT_EQ(m_ui->OpenPopup(), -1);

    TapBar(kNew);
    TapBar(kQuit);
    EXPECT_EQ(m_ui->OpenPopup(), kPopupQuit);
    TapBar(kSize);  // a plain button while a popup is open only closes the popup
    EXPECT_EQ(m_ui->OpenPopup(), -1);
    EXPECT_FALSE(AnyButtonVisible());
}

TEST_F(HandheldUi, DraggingFromADropDownOntoAnItemRunsIt) {
    const Rect bar = Centre(MenuBarButtonRect(kQuit));
    m_ui->PointerDown(bar.x, bar.y);
    const Rect yes = Centre(PopupItemRect(kPopupQuit, 0));
    m_ui->PointerMove(yes.x, yes.y);
    EXPECT_EQ(m_ui->HotItem(), 0);
    EXPECT_TRUE(m_ui->PointerUp(yes.x, yes.y).quit);
}

TEST_F(HandheldUi, KeysDriveAcceleratorsPopupsAndTheAboutBox) {
    EXPECT_TRUE(m_ui->Key(UiKey::CtrlQ).quit);
    EXPECT_STREQ(m_ui->Key(UiKey::Help).helpTarget, kHelpKeyTarget);

    TapBar(kNew);
    m_ui->Key(UiKey::Down);
    m_ui->Key(UiKey::Down);
    m_ui->Key(UiKey::Up);
    EXPECT_EQ(m_ui->HotItem(), 0);
    m_ui->Key(UiKey::Up);  // wraps round to the last item and back
    EXPECT_EQ(m_ui->HotItem(), 1);
    m_ui->Key(UiKey::Down);
    m_ui->Key(UiKey::Enter);  // Shuffle
    EXPECT_EQ(m_ui->OpenPopup(), -1);
    EXPECT_EQ(game().m_solved, 0);

    TapBar(kQuit);
    m_ui->Key(UiKey::Escape);
    EXPECT_EQ(m_ui->OpenPopup(), -1);

    m_ui->Key(UiKey::CtrlA);
    ASSERT_TRUE(m_ui->IsAboutOpen());
    // Modal: accelerators and help wait until it is closed.
    EXPECT_FALSE(m_ui->Key(UiKey::CtrlQ).quit);
    EXPECT_EQ(m_ui->Key(UiKey::Help).helpTarget, nullptr);
    m_ui->Key(UiKey::Enter);
    EXPECT_FALSE(m_ui->IsAboutOpen());
}

TEST_F(HandheldUi, AboutBoxIsModalAndClosesOnlyThroughDone) {
    TapBar(kAbout);
    ASSERT_TRUE(m_ui->IsAboutOpen());
    TapBar(kQuit);
    Tap(120, 150);
    EXPECT_EQ(m_ui->OpenPopup(), -1);
    EXPECT_FALSE(game().IsStylusHeld());
    EXPECT_TRUE(m_ui->IsAboutOpen());
    // Pressed on Done but let go elsewhere: still open.
    const Rect done = Centre(kAboutDone);
    m_ui->PointerDown(done.x, done.y);
    EXPECT_TRUE(m_ui->IsAboutDonePressed());
    m_ui->PointerMove(100, 100);
    EXPECT_FALSE(m_ui->IsAboutDonePressed());
    m_ui->PointerUp(100, 100);
    EXPECT_TRUE(m_ui->IsAboutOpen());
    Tap(done.x, done.y);
    EXPECT_FALSE(m_ui->IsAboutOpen());
}

TEST_F(HandheldUi, ButtonsAnswerOnlyWhileShownAndTheLastShownIsOnTop) {
    // At start all five are hidden although the puzzle is solved: taps fall through.
    EXPECT_FALSE(AnyButtonVisible());
    TapButton(HostButton::Shuffle);
    EXPECT_NE(game().m_solved, 0);
    const Rect plus = Centre(ButtonSpecOf(HostButton::SizeUp).rect);
    Tap(plus.x, plus.y);  // the main window takes it as a stylus tap
    EXPECT_EQ(game().m_scale, 0.06F);

    TapBar(kSize);
    EXPECT_EQ(TapButton(HostButton::SizeUp).paintNow, true);
    EXPECT_GT(game().m_scale, 0.06F);
    // "-" was shown after "+", so the row they share is "-"'s.
    const HostButton* order = m_ui->ZOrder();
    EXPECT_EQ(order[kHostButtonCount - 1], HostButton::SizeOk);
    EXPECT_EQ(order[kHostButtonCount - 2], HostButton::SizeDown);
    const float bigger = game().m_scale;
    EXPECT_TRUE(Tap(15, 231).paintNow);
    EXPECT_LT(game().m_scale, bigger);

    // Pressed, then let go outside: no click.
    m_ui->PointerDown(plus.x, plus.y);
    EXPECT_TRUE(m_ui->IsButtonPressed(HostButton::SizeUp));
    m_ui->PointerMove(100, 100);
    EXPECT_FALSE(m_ui->IsButtonPressed(HostButton::SizeUp));
    m_ui->PointerUp(100, 100);
    EXPECT_LT(game().m_scale, bigger);

    TapButton(HostButton::SizeOk);
    EXPECT_FALSE(AnyButtonVisible());

    // Shown through the host, the solved buttons work; shuffling hides them.
    m_ui->ShowButton(HostButton::Shuffle, true);
    m_ui->ShowButton(HostButton::NewSkin, true);
    const Skin skin = game().m_skin;
    TapButton(HostButton::NewSkin);
    EXPECT_NE(game().m_skin, skin);
    EXPECT_EQ(game().m_solved, 0);
    EXPECT_FALSE(m_ui->IsButtonVisible(HostButton::Shuffle));
}

TEST_F(HandheldUi, StylusIsCapturedAndMovesReachTheGameOnlyWhileHeld) {
    m_ui->PointerMove(60, 80);  // hovering
    EXPECT_EQ(game().m_dragMode, DragMode::None);
    EXPECT_EQ(game().m_pressPending, 0);

    // Captured, a point off the window reaches the game: left of or above it at the edge, so
    // that the drag stops there rather than flipping the puzzle; right of or below it as it is.
    struct Case {
        int x;
        int y;
        int gameX;
        int gameY;
    };
    const Case cases[] = {{-5, 20, 0, 0}, {-5, 100, 0, 74},     {100, 20, 100, 0},   {0, 26, 0, 0},
                          {1, 27, 1, 1},  {300, 400, 300, 374}, {-300, -9000, 0, 0}, {239, -1, 239, 0}};
    for (const Case& c : cases) {
        const UiOutput down = m_ui->PointerDown(20, 40);
        EXPECT_EQ(down.capture, 1);
        EXPECT_TRUE(game().IsStylusHeld());
        EXPECT_EQ(game().m_pressPending, 1);
        m_ui->PointerMove(c.x, c.y);
        EXPECT_EQ(game().m_dragMode, DragMode::WholePuzzle);
        EXPECT_EQ(game().m_pressX, c.gameX) << c.x << ", " << c.y;
        EXPECT_EQ(game().m_pressY, c.gameY) << c.x << ", " << c.y;
        const UiOutput up = m_ui->PointerUp(c.x, c.y);
        EXPECT_EQ(up.capture, -1);
        EXPECT_FALSE(game().IsStylusHeld());
        EXPECT_EQ(game().m_dragMode, DragMode::None);
    }
}

TEST_F(HandheldUi, LayerDragPaintsAtOnceAndTheAboutBoxDoesNotStrandIt) {
    // The puzzle's centre is a piece; a drag there turns a layer.
    m_ui->PointerDown(120, 26 + 135);
    m_ui->PointerMove(120, 26 + 135);  // a move to the press point is a move
    EXPECT_EQ(game().m_dragMode, DragMode::Layer);
    EXPECT_TRUE(m_ui->PointerMove(160, 26 + 140).paintNow);
    EXPECT_FALSE(m_ui->PointerMove(160, 26 + 140).paintNow) << "the same pixel again is no move";
    m_ui->Key(UiKey::CtrlA);
    ASSERT_TRUE(m_ui->IsAboutOpen());
    EXPECT_FALSE(m_ui->PointerMove(200, 26 + 150).paintNow);
    EXPECT_EQ(m_ui->PointerUp(200, 26 + 150).capture, -1);
    EXPECT_FALSE(game().IsStylusHeld());
    EXPECT_EQ(game().m_turnState, TurnState::NoneChosen) << "the turn settled";
    EXPECT_EQ(game().m_turnAngleX + game().m_turnAngleY + game().m_turnAngleZ, 0.0F);
    // A press after a lost release ends the old drag first.
    m_ui->Key(UiKey::Escape);
    m_ui->PointerDown(120, 161);
    const UiOutput again = m_ui->PointerDown(120, 161);
    EXPECT_EQ(again.capture, 1);
    EXPECT_TRUE(game().IsStylusHeld());
}

}  // namespace
