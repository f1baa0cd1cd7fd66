#include "shell/commands.h"

#include "platform/crt_rand.h"
#include "test_support.h"

namespace {

class CommandsTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        SetHost(&host);
    }
    RecordingHost host;
};

TEST_F(CommandsTest, SizeStepsClampAtBothEnds) {
    struct Case {
        bool up;
        int presses;
        float scale;
    };
    const Case cases[] = {
        {false, 1, static_cast<float>(static_cast<double>(0.06F) - 0.01)},
        {false, 2, 0.04F},
        {false, 5, 0.04F},
        {true, 2, 0.08F},
        {true, 5, 0.08F},
    };
    for (const Case& c : cases) {
        g_scale = 0.06F;
        for (int i = 0; i < c.presses; ++i) {
            EXPECT_EQ(PressButton(g_game, c.up ? HostButton::SizeUp : HostButton::SizeDown), ShellAction::PaintNow);
        }
        EXPECT_EQ(g_scale, c.scale) << (c.up ? "up " : "down ") << c.presses;
    }
    // The size button re-projects: the corner moves in.
    g_scale = 0.06F;
    PressButton(g_game, HostButton::SizeDown);
    EXPECT_LT(g_outerBox.sx[0], 150);
}

TEST_F(CommandsTest, SizeShowsAndOkHidesInOrder) {
    EXPECT_EQ(RunCommand(g_game, IDM_SIZE), ShellAction::None);
    PressButton(g_game, HostButton::SizeOk);
    const std::vector<std::string> calls = {"show +", "show -", "show OK", "hide +", "hide -", "hide OK"};
    EXPECT_EQ(host.buttonCalls, calls);
}

TEST_F(CommandsTest, ChangeSkinTogglesAndShuffles) {
    EXPECT_EQ(RunCommand(g_game, IDM_CHANGE_SKIN), ShellAction::None);
    EXPECT_EQ(g_skin, Skin::Plain);
    EXPECT_EQ(g_solved, 0);
    RunCommand(g_game, IDM_CHANGE_SKIN);
    EXPECT_EQ(g_skin, Skin::Stickers);
}

TEST_F(CommandsTest, SolvedButtonsActOnlyWhileSolved) {
    g_solved = 0;
    const ModelSnapshot before = TakeSnapshot();
    PressButton(g_game, HostButton::Shuffle);
    PressButton(g_game, HostButton::NewSkin);
    EXPECT_TRUE(TakeSnapshot() == before);
    EXPECT_EQ(g_skin, Skin::Stickers);
    g_solved = 1;
    PressButton(g_game, HostButton::NewSkin);
    EXPECT_EQ(g_skin, Skin::Plain);
    EXPECT_EQ(g_solved, 0);
    // The menu's Shuffle works whether solved or not.
    const ModelSnapshot unsolved = TakeSnapshot();
    RunCommand(g_game, IDM_SHUFFLE);
    EXPECT_FALSE(TakeSnapshot() == unsolved);
}

TEST_F(CommandsTest, CommandsLeftToTheShell) {
    struct Case {
        int command;
        ShellAction action;
    };
    const Case cases[] = {
        {IDM_ABOUT, ShellAction::OpenAbout}, {IDM_HELP, ShellAction::OpenHelp}, {IDM_QUIT_YES, ShellAction::PostQuit},
        {IDM_CLOSE, ShellAction::Close},     {IDM_NEW, ShellAction::Default},   {IDM_QUIT, ShellAction::Default},
        {IDM_QUIT_NO, ShellAction::Default}, {12345, ShellAction::Default},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunCommand(g_game, c.command), c.action) << c.command;
    }
    EXPECT_TRUE(host.buttonCalls.empty());
    EXPECT_EQ(g_solved, 1);
}

TEST_F(CommandsTest, MovesReachTheGameOnlyWhileTheStylusIsDown) {
    // Hovering after a release must not turn anything.
    EXPECT_EQ(StylusMoved(g_game, 10, 10), ShellAction::None);
    EXPECT_EQ(g_dragMode, DragMode::None);
    StylusPressed(g_game, 5, 5);
    EXPECT_TRUE(IsStylusHeld());
    EXPECT_EQ(StylusMoved(g_game, 5, 5), ShellAction::PaintNow);
    EXPECT_EQ(g_dragMode, DragMode::WholePuzzle);
    StylusReleased(g_game);
    EXPECT_FALSE(IsStylusHeld());
    const float viewX = g_game.m_viewAngleX;
    EXPECT_EQ(StylusMoved(g_game, 200, 200), ShellAction::None);
    EXPECT_EQ(g_game.m_viewAngleX, viewX);
}

// Whatever a game was doing, StartGame leaves what a fresh start with the seed holds, and
// neither the old host nor the new one hears of the construction.
TEST_F(CommandsTest, StartGameBringsBackEveryHiddenState) {
    constexpr std::uint32_t kSeed = 4321;
    CrtSrand(kSeed);
    int draws[4];
    for (int& d : draws) {
        d = CrtRand();
    }
    const ModelSnapshot fresh = TakeSnapshot();
    int x = 0;
    int y = 0;
    FaceCentre(0, 3, &x, &y);
    struct Case {
        const char* name;
        void (*play)(int x, int y);
    };
    const Case cases[] = {
        {"layer drag held",
         [](int px, int py) {
             StylusPressed(g_game, px, py);
             StylusMoved(g_game, px + 20, py);
         }},
        {"whole-puzzle drag held",
         [](int /*px*/, int /*py*/) {
             StylusPressed(g_game, 5, 5);
             StylusMoved(g_game, 25, 15);
         }},
        {"press pending", [](int px, int py) { StylusPressed(g_game, px, py); }},
        {"shuffled, other skin and size",
         [](int /*px*/, int /*py*/) {
             RunCommand(g_game, IDM_CHANGE_SKIN);
             PressButton(g_game, HostButton::SizeDown);
         }},
    };
    for (const Case& c : cases) {
        c.play(x, y);
        RecordingHost next;
        next.time = LocalTime{59, 59, 999};  // the clock's seed gives way to kSeed
        const int oldCalls = host.invalidations + static_cast<int>(host.buttonCalls.size());
        StartGame(kSeed, &next);
        EXPECT_EQ(host.invalidations + static_cast<int>(host.buttonCalls.size()), oldCalls) << c.name;
        EXPECT_EQ(next.invalidations, 0) << c.name;
        EXPECT_EQ(GetHost(), &next) << c.name;
        EXPECT_FALSE(IsStylusHeld()) << c.name;
        EXPECT_TRUE(TakeSnapshot() == fresh) << c.name;
        EXPECT_EQ(g_dragMode, DragMode::None) << c.name;
        EXPECT_EQ(g_pressPending, 0) << c.name;
        EXPECT_EQ(g_game.m_turnState, TurnState::NoneChosen) << c.name;
        EXPECT_EQ(g_skin, Skin::Stickers) << c.name;
        EXPECT_EQ(g_scale, 0.06F) << c.name;
        for (const int d : draws) {
            EXPECT_EQ(CrtRand(), d) << c.name;
        }
        SetHost(&host);
    }
}

TEST_F(CommandsTest, CoordinatesAreUnsigned16Bits) {
    StylusPressed(g_game, 5, 5);
    StylusMoved(g_game, -1, 5);  // left of the window while captured
    EXPECT_EQ(g_game.m_pressX, 65535);
    StylusReleased(g_game);
    StylusPressed(g_game, 5, 5);
    StylusMoved(g_game, 0x12345, 0x10005);
    EXPECT_EQ(g_game.m_pressX, 0x2345);
    EXPECT_EQ(g_game.m_pressY, 5);
}

}  // namespace
