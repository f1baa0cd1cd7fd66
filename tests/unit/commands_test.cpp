#include "shell/commands.h"

#include "platform/crt_rand.h"
#include "test_support.h"

namespace {

class CommandsTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        game.m_host = &host;
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
        game.m_scale = 0.06F;
        for (int i = 0; i < c.presses; ++i) {
            EXPECT_EQ(PressButton(game, c.up ? HostButton::SizeUp : HostButton::SizeDown), ShellAction::PaintNow);
        }
        EXPECT_EQ(game.m_scale, c.scale) << (c.up ? "up " : "down ") << c.presses;
    }
    // The size button re-projects: the corner moves in.
    game.m_scale = 0.06F;
    PressButton(game, HostButton::SizeDown);
    EXPECT_LT(game.m_outerBox.sx[0], 150);
}

TEST_F(CommandsTest, SizeShowsAndOkHidesInOrder) {
    EXPECT_EQ(RunCommand(game, IDM_SIZE), ShellAction::None);
    PressButton(game, HostButton::SizeOk);
    const std::vector<std::string> calls = {"show +", "show -", "show OK", "hide +", "hide -", "hide OK"};
    EXPECT_EQ(host.buttonCalls, calls);
}

TEST_F(CommandsTest, ChangeSkinTogglesAndShuffles) {
    EXPECT_EQ(RunCommand(game, IDM_CHANGE_SKIN), ShellAction::None);
    EXPECT_EQ(game.m_skin, Skin::Plain);
    EXPECT_EQ(game.m_solved, 0);
    RunCommand(game, IDM_CHANGE_SKIN);
    EXPECT_EQ(game.m_skin, Skin::Stickers);
}

TEST_F(CommandsTest, SolvedButtonsActOnlyWhileSolved) {
    game.m_solved = 0;
    const ModelSnapshot before = TakeSnapshot(game);
    PressButton(game, HostButton::Shuffle);
    PressButton(game, HostButton::NewSkin);
    EXPECT_TRUE(TakeSnapshot(game) == before);
    EXPECT_EQ(game.m_skin, Skin::Stickers);
    game.m_solved = 1;
    PressButton(game, HostButton::NewSkin);
    EXPECT_EQ(game.m_skin, Skin::Plain);
    EXPECT_EQ(game.m_solved, 0);
    // The menu's Shuffle works whether solved or not.
    const ModelSnapshot unsolved = TakeSnapshot(game);
    RunCommand(game, IDM_SHUFFLE);
    EXPECT_FALSE(TakeSnapshot(game) == unsolved);
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
        EXPECT_EQ(RunCommand(game, c.command), c.action) << c.command;
    }
    EXPECT_TRUE(host.buttonCalls.empty());
    EXPECT_EQ(game.m_solved, 1);
}

TEST_F(CommandsTest, MovesReachTheGameOnlyWhileTheStylusIsDown) {
    // Hovering after a release must not turn anything.
    EXPECT_FALSE(game.StylusMove(10, 10));
    EXPECT_EQ(game.m_dragMode, DragMode::None);
    game.StylusDown(5, 5);
    EXPECT_TRUE(game.IsStylusHeld());
    EXPECT_TRUE(game.StylusMove(5, 5));
    EXPECT_EQ(game.m_dragMode, DragMode::WholePuzzle);
    game.StylusUp();
    EXPECT_FALSE(game.IsStylusHeld());
    const float viewX = game.m_viewAngleX;
    EXPECT_FALSE(game.StylusMove(200, 200));
    EXPECT_EQ(game.m_viewAngleX, viewX);
}

// Whatever a game was doing, a new game in its place holds what a fresh start with the seed
// holds, and neither the old host nor the new one hears of the construction.
TEST_F(CommandsTest, ANewGameReplacesEveryHiddenState) {
    constexpr std::uint32_t kSeed = 4321;
    game.m_random.Seed(kSeed);
    int draws[4];
    for (int& d : draws) {
        d = game.m_random.Next();
    }
    const ModelSnapshot fresh = TakeSnapshot(game);
    int x = 0;
    int y = 0;
    FaceCentre(game, 0, 3, &x, &y);
    struct Case {
        const char* name;
        void (*play)(PuzzleGame& played, int x, int y);
    };
    const Case cases[] = {
        {"layer drag held",
         [](PuzzleGame& played, int px, int py) {
             played.StylusDown(px, py);
             played.StylusMove(px + 20, py);
         }},
        {"whole-puzzle drag held",
         [](PuzzleGame& played, int /*px*/, int /*py*/) {
             played.StylusDown(5, 5);
             played.StylusMove(25, 15);
         }},
        {"press pending", [](PuzzleGame& played, int px, int py) { played.StylusDown(px, py); }},
        {"shuffled, other skin and size",
         [](PuzzleGame& played, int /*px*/, int /*py*/) {
             RunCommand(played, IDM_CHANGE_SKIN);
             PressButton(played, HostButton::SizeDown);
         }},
    };
    for (const Case& c : cases) {
        c.play(game, x, y);
        RecordingHost next;
        next.time = LocalTime{59, 59, 999};  // the clock's seed gives way to kSeed
        const int oldCalls = host.invalidations + static_cast<int>(host.buttonCalls.size());
        game = PuzzleGame(kSeed, &next);
        EXPECT_EQ(host.invalidations + static_cast<int>(host.buttonCalls.size()), oldCalls) << c.name;
        EXPECT_EQ(next.invalidations, 0) << c.name;
        EXPECT_EQ(game.m_host, &next) << c.name;
        EXPECT_FALSE(game.IsStylusHeld()) << c.name;
        EXPECT_TRUE(TakeSnapshot(game) == fresh) << c.name;
        EXPECT_EQ(game.m_dragMode, DragMode::None) << c.name;
        EXPECT_EQ(game.m_pressPending, 0) << c.name;
        EXPECT_EQ(game.m_turnState, TurnState::NoneChosen) << c.name;
        EXPECT_EQ(game.m_skin, Skin::Stickers) << c.name;
        EXPECT_EQ(game.m_scale, 0.06F) << c.name;
        for (const int d : draws) {
            EXPECT_EQ(game.m_random.Next(), d) << c.name;
        }
        game.m_host = &host;
    }
}

TEST_F(CommandsTest, CoordinatesAreUnsigned16Bits) {
    game.StylusDown(5, 5);
    game.StylusMove(-1, 5);  // left of the window while captured
    EXPECT_EQ(game.m_pressX, 65535);
    game.StylusUp();
    game.StylusDown(5, 5);
    game.StylusMove(0x12345, 0x10005);
    EXPECT_EQ(game.m_pressX, 0x2345);
    EXPECT_EQ(game.m_pressY, 5);
}

}  // namespace
