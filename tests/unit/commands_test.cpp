#include "shell/commands.h"

#include "platform/crt_rand.h"
#include "test_support.h"

namespace {

class Commands : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        m_game.m_host = &m_host;
    }
    RecordingHost m_host;
};

TEST_F(Commands, SizeStepsClampAtBothEnds) {
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
        m_game.m_scale = 0.06F;
        for (int i = 0; i < c.presses; ++i) {
            EXPECT_EQ(PressButton(m_game, c.up ? HostButton::SizeUp : HostButton::SizeDown), ShellAction::PaintNow);
        }
        EXPECT_EQ(m_game.m_scale, c.scale) << (c.up ? "up " : "down ") << c.presses;
    }
    // The size button re-projects: the corner moves in.
    m_game.m_scale = 0.06F;
    PressButton(m_game, HostButton::SizeDown);
    EXPECT_LT(m_game.m_outerBox.sx[0], 150);
}

TEST_F(Commands, SizeShowsAndOkHidesInOrder) {
    EXPECT_EQ(RunCommand(m_game, IDM_SIZE), ShellAction::None);
    PressButton(m_game, HostButton::SizeOk);
    const std::vector<std::string> calls = {"show +", "show -", "show OK", "hide +", "hide -", "hide OK"};
    EXPECT_EQ(m_host.buttonCalls, calls);
}

TEST_F(Commands, ChangeSkinTogglesAndShuffles) {
    EXPECT_EQ(RunCommand(m_game, IDM_CHANGE_SKIN), ShellAction::None);
    EXPECT_EQ(m_game.m_skin, Skin::Plain);
    EXPECT_EQ(m_game.m_solved, 0);
    RunCommand(m_game, IDM_CHANGE_SKIN);
    EXPECT_EQ(m_game.m_skin, Skin::Stickers);
}

TEST_F(Commands, SolvedButtonsActOnlyWhileSolved) {
    m_game.m_solved = 0;
    const ModelSnapshot before = TakeSnapshot(m_game);
    PressButton(m_game, HostButton::Shuffle);
    PressButton(m_game, HostButton::NewSkin);
    EXPECT_TRUE(TakeSnapshot(m_game) == before);
    EXPECT_EQ(m_game.m_skin, Skin::Stickers);
    m_game.m_solved = 1;
    PressButton(m_game, HostButton::NewSkin);
    EXPECT_EQ(m_game.m_skin, Skin::Plain);
    EXPECT_EQ(m_game.m_solved, 0);
    // The menu's Shuffle works whether solved or not.
    const ModelSnapshot unsolved = TakeSnapshot(m_game);
    RunCommand(m_game, IDM_SHUFFLE);
    EXPECT_FALSE(TakeSnapshot(m_game) == unsolved);
}

TEST_F(Commands, CommandsLeftToTheShell) {
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
        EXPECT_EQ(RunCommand(m_game, c.command), c.action) << c.command;
    }
    EXPECT_TRUE(m_host.buttonCalls.empty());
    EXPECT_EQ(m_game.m_solved, 1);
}

TEST_F(Commands, MovesReachTheGameOnlyWhileTheStylusIsDown) {
    // Hovering after a release must not turn anything.
    EXPECT_FALSE(m_game.StylusMove(10, 10));
    EXPECT_EQ(m_game.m_dragMode, DragMode::None);
    m_game.StylusDown(5, 5);
    EXPECT_TRUE(m_game.IsStylusHeld());
    EXPECT_TRUE(m_game.StylusMove(5, 5));
    EXPECT_EQ(m_game.m_dragMode, DragMode::WholePuzzle);
    m_game.StylusUp();
    EXPECT_FALSE(m_game.IsStylusHeld());
    const float viewX = m_game.m_viewAngleX;
    EXPECT_FALSE(m_game.StylusMove(200, 200));
    EXPECT_EQ(m_game.m_viewAngleX, viewX);
}

// Whatever a game was doing, a new game in its place holds what a fresh start with the seed
// holds, and neither the old host nor the new one hears of the construction.
TEST_F(Commands, ANewGameReplacesEveryHiddenState) {
    constexpr std::uint32_t kSeed = 4321;
    m_game.m_random.Seed(kSeed);
    int draws[4];
    for (int& d : draws) {
        d = m_game.m_random.Next();
    }
    const ModelSnapshot fresh = TakeSnapshot(m_game);
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 0, 3, &x, &y);
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
        c.play(m_game, x, y);
        RecordingHost next;
        next.time = LocalTime{59, 59, 999};  // the clock's seed gives way to kSeed
        const int oldCalls = m_host.invalidations + static_cast<int>(m_host.buttonCalls.size());
        m_game = PuzzleGame(kSeed, &next);
        EXPECT_EQ(m_host.invalidations + static_cast<int>(m_host.buttonCalls.size()), oldCalls) << c.name;
        EXPECT_EQ(next.invalidations, 0) << c.name;
        EXPECT_EQ(m_game.m_host, &next) << c.name;
        EXPECT_FALSE(m_game.IsStylusHeld()) << c.name;
        EXPECT_TRUE(TakeSnapshot(m_game) == fresh) << c.name;
        EXPECT_EQ(m_game.m_dragMode, DragMode::None) << c.name;
        EXPECT_EQ(m_game.m_pressPending, 0) << c.name;
        EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen) << c.name;
        EXPECT_EQ(m_game.m_skin, Skin::Stickers) << c.name;
        EXPECT_EQ(m_game.m_scale, 0.06F) << c.name;
        for (const int d : draws) {
            EXPECT_EQ(m_game.m_random.Next(), d) << c.name;
        }
        m_game.m_host = &m_host;
    }
}

TEST_F(Commands, CoordinatesAreUnsigned16Bits) {
    m_game.StylusDown(5, 5);
    m_game.StylusMove(-1, 5);  // left of the window while captured
    EXPECT_EQ(m_game.m_pressX, 65535);
    m_game.StylusUp();
    m_game.StylusDown(5, 5);
    m_game.StylusMove(0x12345, 0x10005);
    EXPECT_EQ(m_game.m_pressX, 0x2345);
    EXPECT_EQ(m_game.m_pressY, 5);
}

}  // namespace
