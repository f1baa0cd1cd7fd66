// Long runs of random play: the puzzle keeps its pieces and shape, the view stays a rotation.
// Lengths come from VEXAL_SOAK_EVENTS and VEXAL_SOAK_FOLDS (short by default).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "interaction/turn_choice.h"
#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "render/projection.h"
#include "shell/commands.h"
#include "tests/support/case_name.h"
#include "tests/support/game_driver.h"

namespace {

long long EnvCount(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return (end != nullptr && *end == '\0' && value > 0) ? value : fallback;
}

// A float view angle after many folds may differ from the first by rounding, never by a trend.
constexpr double kAngleTolerance = 1e-3;
constexpr double kRotationTolerance = 1e-5;

constexpr int kCommands[] = {IDM_SHUFFLE, IDM_CHANGE_SKIN, IDM_SIZE, IDM_ABOUT, IDM_HELP, IDM_QUIT_NO, IDM_NEW};

// A hand with a stylus: mostly short strokes on and around the puzzle, now and then a stroke
// that leaves the window (captured, so the coordinates come near 65535 or wrap), a second press
// without a release, a command or a button.
class Player {
public:
    // Without commands and buttons the puzzle is never shuffled: it stays near solved.
    Player(std::uint32_t seed, bool commands) : m_rng(seed), m_commands(commands) {}

    GameEvent Next() {
        const int r = Below(1000);
        if (!m_commands && ((r >= 850 && r < 895) || (r >= 970 && r < 990))) {
            return Event(EventKind::Paint, 0, 0, 0, HostButton::Shuffle);
        }
        if (!m_held) {
            if (r < 850) {
                return Press();
            }
            if (r < 865) {
                return Event(EventKind::Command, 0, 0, kCommands[Below(7)], HostButton::Shuffle);
            }
            if (r < 895) {
                return Event(EventKind::Button, 0, 0, 0, static_cast<HostButton>(Below(kHostButtonCount)));
            }
            if (r < 945) {
                return Event(EventKind::Paint, 0, 0, 0, HostButton::Shuffle);
            }
            if (r < 985) {
                return MoveBy(5);  // hovering: the shell drops it
            }
            return Release();
        }
        if (m_fresh) {
            m_fresh = false;
            return Move(m_x, m_y);  // the first movement sets the drag up where the stylus is
        }
        if (r < 600) {
            return MoveBy(8);
        }
        if (r < 700) {
            return MoveBy(40);
        }
        if (r < 760) {
            return LeaveWindow();
        }
        if (r < 790) {
            const int x = Below(240);
            return Move(x, Below(270));  // back into the window in one jump
        }
        if (r < 950) {
            return Release();
        }
        if (r < 970) {
            return Press();
        }
        if (r < 973) {
            return Event(EventKind::Command, 0, 0, kCommands[Below(7)], HostButton::Shuffle);
        }
        if (r < 990) {
            return Event(EventKind::Button, 0, 0, 0, static_cast<HostButton>(Below(kHostButtonCount)));
        }
        return Event(EventKind::Paint, 0, 0, 0, HostButton::Shuffle);
    }

    // Anything but the short strokes near the puzzle.
    long long offWindowSteps = 0;

private:
    int Below(int n) { return static_cast<int>(m_rng() % static_cast<std::uint32_t>(n)); }
    int Around(int n) { return Below(2 * n + 1) - n; }

    static GameEvent Event(EventKind kind, int x, int y, int command, HostButton button) {
        GameEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.command = command;
        e.button = button;
        return e;
    }

    GameEvent Press() {
        m_held = true;
        m_fresh = true;
        if (Below(10) < 8) {
            m_x = 120 + Around(80);  // on or right beside the pieces
            m_y = 135 + Around(80);
        } else {
            m_x = Below(240);
            m_y = Below(270);
        }
        return Event(EventKind::Press, m_x, m_y, 0, HostButton::Shuffle);
    }

    GameEvent Release() {
        m_held = false;
        return Event(EventKind::Release, 0, 0, 0, HostButton::Shuffle);
    }

    // Draws are sequenced one by one: the order of argument evaluation differs between compilers.
    GameEvent MoveBy(int n) {
        const int x = m_x + Around(n);
        return Move(x, m_y + Around(n));
    }

    GameEvent Move(int x, int y) {
        m_x = x;
        m_y = y;
        return Event(EventKind::Move, x, y, 0, HostButton::Shuffle);
    }

    // Above or left of the window a captured stylus reports 65535 and below; the message's
    // raw value may also be negative or carry bits above the sixteen the shell keeps.
    GameEvent LeaveWindow() {
        ++offWindowSteps;
        switch (Below(5)) {
            case 0:
                return Move(65535 - Below(200), m_y);
            case 1:
                return Move(m_x, 65535 - Below(200));
            case 2: {
                const int x = -1 - Below(200);
                return Move(x, -1 - Below(200));
            }
            case 3: {
                const int x = m_x + 65536 * (1 + Below(1000));
                return Move(x, m_y - 65536 * Below(1000));
            }
            default: {
                const int x = 240 + Below(800);
                return Move(x, 270 + Below(800));
            }
        }
    }

    std::mt19937 m_rng;
    bool m_commands;
    bool m_held = false;
    bool m_fresh = false;
    int m_x = 120;
    int m_y = 135;
};

void Report(const char* test, const DriverStats& s, double worstRotation) {
    std::cout << test << ": " << s.events << " events, " << s.layerReleases << " layer releases, " << s.quarterTurns
              << " committed turns, " << s.solvedReleases << " left solved, " << s.cubeSteps << " whole-cube steps, "
              << s.shuffles << " shuffles, " << s.paints << " frames; worst view rotation error " << worstRotation
              << "\n";
}

TEST(Soak, RandomPlayKeepsEveryPieceWholeAndInItsSlot) {
    const long long events = EnvCount("VEXAL_SOAK_EVENTS", 100000);
    auto driver = std::make_unique<GameDriver>();
    driver->Start(20261209, 64);
    Player player(7, true);
    double worst = 0.0;
    for (long long i = 0; i < events; ++i) {
        const GameEvent event = player.Next();
        const std::string problem = driver->Apply(event);
        ASSERT_EQ(problem, "") << "event " << i << " (kind " << static_cast<int>(event.kind) << ", " << event.x << ", "
                               << event.y << ")";
        if (event.kind == EventKind::Move || event.kind == EventKind::Release) {
            const double error = ViewRotationError(driver->Game());
            ASSERT_LT(error, kRotationTolerance) << "event " << i;
            worst = std::fmax(worst, error);
        }
    }
    const DriverStats& s = driver->Stats();
    Report("random play", s, worst);
    // The walk must really play: turns committed, the view turned, the window left.
    EXPECT_GT(s.quarterTurns, events / 100);
    EXPECT_GT(s.cubeSteps, events / 20);
    EXPECT_GT(player.offWindowSteps, events / 100);
}

// Short games from the solved start, stylus only: layer turns that leave the puzzle solved
// (sprung back, turned a whole turn, or turned back) and turns that mix it both come often, and
// after each the solved flag and the two buttons must tell the truth.
TEST(Soak, ShortGamesKeepTheSolvedFlagTrue) {
    const long long events = EnvCount("VEXAL_SOAK_EVENTS", 100000) / 4;
    constexpr long long kGameLength = 60;
    auto driver = std::make_unique<GameDriver>();
    Player player(5, false);
    DriverStats all;
    for (long long game = 0; game * kGameLength < events; ++game) {
        driver->Start(static_cast<std::uint32_t>(game), 64, game % 16 == 0);
        for (long long i = 0; i < kGameLength; ++i) {
            const GameEvent event = player.Next();
            ASSERT_EQ(driver->Apply(event), "") << "game " << game << " event " << i;
        }
        const DriverStats& s = driver->Stats();
        all.events += s.events;
        all.layerReleases += s.layerReleases;
        all.quarterTurns += s.quarterTurns;
        all.solvedReleases += s.solvedReleases;
        all.cubeSteps += s.cubeSteps;
        all.paints += s.paints;
    }
    Report("short games", all, 0.0);
    EXPECT_GT(all.solvedReleases, all.layerReleases / 20);
    EXPECT_LT(all.solvedReleases, all.layerReleases);
}

TEST(Soak, OneLongWholeCubeDragStaysARotation) {
    const long long folds = EnvCount("VEXAL_SOAK_FOLDS", 100000);
    auto driver = std::make_unique<GameDriver>();
    driver->Start(1, 64);
    std::mt19937 rng(11);
    auto around = [&rng](int n) { return static_cast<int>(rng() % static_cast<std::uint32_t>(2 * n + 1)) - n; };
    int x = 5;  // beside the pieces
    int y = 5;
    ASSERT_EQ(driver->Apply(GameEvent{EventKind::Press, x, y, 0, HostButton::Shuffle}), "");
    ASSERT_EQ(driver->Apply(GameEvent{EventKind::Move, x, y, 0, HostButton::Shuffle}), "");
    const PuzzleGame& game = driver->Game();
    ASSERT_EQ(game.m_dragMode, DragMode::WholePuzzle);
    double worst = 0.0;
    for (long long i = 0; i < folds; ++i) {
        const int kind = static_cast<int>(rng() % 100);
        if (kind < 90) {
            x += around(10);
            y += around(10);
        } else if (kind < 95) {
            x = 65535 - static_cast<int>(rng() % 100);  // off the top left, captured
        } else {
            x = static_cast<int>(rng() % 240);
            y = static_cast<int>(rng() % 270);
        }
        ASSERT_EQ(driver->Apply(GameEvent{EventKind::Move, x, y, 0, HostButton::Shuffle}), "") << "fold " << i;
        ASSERT_EQ(game.m_dragMode, DragMode::WholePuzzle) << "fold " << i;
        const double error = ViewRotationError(game);
        ASSERT_LT(error, kRotationTolerance)
            << "fold " << i << ": view " << game.m_viewAngleX << ", " << game.m_viewAngleY << ", " << game.m_viewAngleZ;
        worst = std::fmax(worst, error);
    }
    ASSERT_EQ(driver->Apply(GameEvent{EventKind::Release, 0, 0, 0, HostButton::Shuffle}), "");
    EXPECT_EQ(game.m_dragMode, DragMode::None);
    Report("long whole-cube drag", driver->Stats(), worst);
    EXPECT_EQ(driver->Stats().cubeSteps, folds + 1);
}

// The game's canvas repaints only what the last frame drew over its background. Through long
// random play (drags of layers and of the whole puzzle, shuffles, new skins, sizes, solved and
// unsolved backgrounds) every frame must be the one a canvas painting everything gives.
struct FramePlay {
    const char* name;
    std::uint32_t seed;
    bool commands;  // without them the puzzle stays near solved: green and navy backgrounds mix
};

class SoakFrames : public ::testing::TestWithParam<FramePlay> {};

TEST_P(SoakFrames, EveryFrameIsTheWholeFrame) {
    const FramePlay play = GetParam();
    const long long events = EnvCount("VEXAL_SOAK_EVENTS", 100000) / 5;
    auto driver = std::make_unique<GameDriver>();
    auto whole = std::make_unique<SoftCanvas>();
    driver->Start(play.seed, 1);
    Player player(play.seed + 1, play.commands);
    long long compared = 0;
    long long paints = -1;
    for (long long i = 0; i < events; ++i) {
        ASSERT_EQ(driver->Apply(player.Next()), "") << "event " << i;
        if (driver->Stats().paints == paints) {
            continue;
        }
        paints = driver->Stats().paints;
        PuzzleGame copy = driver->Game();  // painting records its order: the driver's game keeps its own
        whole->ForgetBackground();
        ComposeFrame(copy, *whole);
        ASSERT_EQ(std::memcmp(driver->Frame().Rgb(), whole->Rgb(), SoftCanvas::kWidth * SoftCanvas::kHeight * 3), 0)
            << "event " << i;
        ++compared;
    }
    EXPECT_GT(compared, events / 2);
}

INSTANTIATE_TEST_SUITE_P(Play, SoakFrames,
                         ::testing::Values(FramePlay{"commands", 31, true}, FramePlay{"near_solved", 32, false}),
                         CaseName());

struct ViewAngles {
    float x;
    float y;
    float z;
};

// The angle in degrees of the rotation that takes one view matrix to the other, with the
// scale taken out.
double DegreesBetween(float scale, const Matrix34& a, const Matrix34& b) {
    const double s = static_cast<double>(scale);
    const double rowScale[3] = {s, -s, s};
    double trace = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) {
            trace +=
                static_cast<double>(a.m[i * 4 + k]) * static_cast<double>(b.m[i * 4 + k]) / (rowScale[i] * rowScale[i]);
        }
    }
    const double c = std::fmin(1.0, std::fmax(-1.0, (trace - 1.0) / 2.0));
    return std::acos(c) * 180.0 / 3.14159265358979323846;
}

// The fold turns radians to degrees by the float 57.295776, a little below 180 / pi: each fold
// shrinks the angles by 6e-8 of themselves, which rounding turns into at most one float step
// (1.5e-5 degrees at 256). Anything faster is a fault of the fold.
constexpr double kDriftPerFold = 2e-5;
// Near X = +-90 the first fold loses a few hundredths of a degree to the division by a tiny m5.
constexpr double kFirstFoldChange = 0.05;

struct DriftFigures {
    double firstFold = 0.0;  // largest change made by a first fold
    double drift = 0.0;      // largest change from the first fold to the last
    ViewAngles worstView{0, 0, 0};
};

// Folds the view built from the game's angles back into the angles, as the release of a
// whole-cube drag does with an unchanged view. The first fold may spell the view another way;
// after it the view must hold still up to rounding.
void FoldRepeatedly(PuzzleGame& game, ViewAngles start, long long folds, DriftFigures* figures) {
    game.m_viewAngleX = start.x;
    game.m_viewAngleY = start.y;
    game.m_viewAngleZ = start.z;
    BuildViewMatrix(game, game.m_viewMatrix);
    const Matrix34 original = game.m_viewMatrix;
    game.m_savedViewMatrix = game.m_viewMatrix;
    AbsorbCubeRotation(game, game.m_savedViewMatrix);
    BuildViewMatrix(game, game.m_viewMatrix);
    const Matrix34 first = game.m_viewMatrix;
    for (long long i = 0; i < folds; ++i) {
        BuildViewMatrix(game, game.m_viewMatrix);
        game.m_savedViewMatrix = game.m_viewMatrix;
        AbsorbCubeRotation(game, game.m_savedViewMatrix);
        ASSERT_LT(ViewRotationError(game), kRotationTolerance)
            << "fold " << i << " of " << start.x << ", " << start.y << ", " << start.z;
    }
    BuildViewMatrix(game, game.m_viewMatrix);
    const double firstFold = DegreesBetween(game.m_scale, original, first);
    const double drift = DegreesBetween(game.m_scale, first, game.m_viewMatrix);
    EXPECT_LT(firstFold, kFirstFoldChange) << start.x << ", " << start.y << ", " << start.z;
    EXPECT_LE(drift, kDriftPerFold * static_cast<double>(folds) + 1e-4)
        << folds << " folds of " << start.x << ", " << start.y << ", " << start.z;
    figures->firstFold = std::fmax(figures->firstFold, firstFold);
    if (drift > figures->drift) {
        figures->drift = drift;
        figures->worstView = start;
    }
}

TEST(Soak, FoldingAnUnchangedViewDoesNotDrift) {
    const long long folds = EnvCount("VEXAL_SOAK_FOLDS", 100000);
    PuzzleGame game(0, nullptr);
    // The start view, views at the ends of the fold's ranges and where its divisions meet zero,
    // then random ones.
    std::vector<ViewAngles> views = {{-15, 15, 10}, {0, 0, 0},     {-90, 0, 0},   {90, 0, 0},     {-180, 0, 0},
                                     {0, 90, 0},    {0, -90, 0},   {0, 0, 90},    {0, 0, -90},    {-270, 270, 0},
                                     {45, 45, 45},  {-90, 90, 90}, {89.9F, 0, 0}, {0, 89.99F, 0}, {-15, 195, -10}};
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> angle(-270.0F, 270.0F);
    while (views.size() < 40) {
        views.push_back(ViewAngles{angle(rng), angle(rng), angle(rng)});
    }
    // Half the folds on the start view, the rest spread over the others.
    const long long others = std::max<long long>(1, folds / 2 / static_cast<long long>(views.size() - 1));
    DriftFigures figures;
    for (std::size_t i = 0; i < views.size(); ++i) {
        FoldRepeatedly(game, views[i], i == 0 ? std::max<long long>(1, folds / 2) : others, &figures);
        if (HasFatalFailure()) {
            return;
        }
    }
    std::cout << "zero folds: " << folds / 2 << " of the start view, " << others << " of each of " << views.size() - 1
              << " others; first fold changes a view by up to " << figures.firstFold
              << " degrees, later folds by up to " << figures.drift << " degrees in all (view " << figures.worstView.x
              << ", " << figures.worstView.y << ", " << figures.worstView.z << ")\n";
}

TEST(Soak, StandingStillInAWholeCubeDragDoesNotDrift) {
    const long long folds = EnvCount("VEXAL_SOAK_FOLDS", 100000);
    auto driver = std::make_unique<GameDriver>();
    driver->Start(1, 0);
    ASSERT_EQ(driver->Apply(GameEvent{EventKind::Press, 5, 5, 0, HostButton::Shuffle}), "");
    ASSERT_EQ(driver->Apply(GameEvent{EventKind::Move, 5, 5, 0, HostButton::Shuffle}), "");
    const PuzzleGame& game = driver->Game();
    const ViewAngles first{game.m_viewAngleX, game.m_viewAngleY, game.m_viewAngleZ};
    for (long long i = 0; i < folds; ++i) {
        // A move to the same point: a fold of no rotation. Every 1000th a tap, whose release
        // folds the unchanged view too.
        ASSERT_EQ(driver->Apply(GameEvent{EventKind::Move, 5, 5, 0, HostButton::Shuffle}), "") << "fold " << i;
        if (i % 1000 == 999) {
            ASSERT_EQ(driver->Apply(GameEvent{EventKind::Release, 0, 0, 0, HostButton::Shuffle}), "");
            ASSERT_EQ(driver->Apply(GameEvent{EventKind::Press, 5, 5, 0, HostButton::Shuffle}), "");
        }
    }
    EXPECT_NEAR(game.m_viewAngleX, first.x, kAngleTolerance);
    EXPECT_NEAR(game.m_viewAngleY, first.y, kAngleTolerance);
    EXPECT_NEAR(game.m_viewAngleZ, first.z, kAngleTolerance);
    EXPECT_NEAR(game.m_viewAngleX, -15.0, kAngleTolerance);
    EXPECT_NEAR(game.m_viewAngleY, 15.0, kAngleTolerance);
    EXPECT_NEAR(game.m_viewAngleZ, 10.0, kAngleTolerance);
}

}  // namespace
