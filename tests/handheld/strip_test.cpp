// The companion strip as a player meets it: the clock, hints taken through the strip's own
// buttons, the result line with par, the Shuffle question, and a game kept and opened again.
#include "shell/handheld/strip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "interaction/moves.h"
#include "shell/commands.h"
#include "solver/solver.h"

namespace {

class Strip : public ::testing::Test {
protected:
    void SetUp() override { Start(nullptr, nullptr); }
    SaveRead Start(const char* link, const std::string* saved) {
        m_ui = std::make_unique<ShellUi>(0);
        m_strip = std::make_unique<CompanionStrip>(*m_ui);
        const std::uint32_t seed = 11;
        return m_strip->Open(link, link == nullptr && saved == nullptr ? &seed : nullptr, saved, 99);
    }
    PuzzleGame& Game() { return m_ui->Game(); }
    void Press(StripControl control) { m_strip->Press(control, m_now); }
    // Takes hints with the strip's buttons until solved; the number taken.
    int SolveWithHints() {
        int taken = 0;
        while (DistanceFromSolved(Game().m_pieces) > 0 && taken < 20) {
            const int before = DistanceFromSolved(Game().m_pieces);
            Press(StripControl::Hint);
            m_now += 1000;
            const std::string hint = m_strip->MessageLine();
            const StripControl way = hint.find("half round") != std::string::npos      ? StripControl::HalfTurn
                                     : hint.find("anticlockwise") != std::string::npos ? StripControl::Anticlockwise
                                                                                       : StripControl::Clockwise;
            Press(way);
            EXPECT_EQ(DistanceFromSolved(Game().m_pieces), before - 1) << hint;
            ++taken;
        }
        return taken;
    }

    std::unique_ptr<ShellUi> m_ui;
    std::unique_ptr<CompanionStrip> m_strip;
    std::int64_t m_now = 5000;
};

TEST_F(Strip, TheClockRunsFromTheFirstMoveToTheSolveAndPausesWhileHidden) {
    RunCommand(Game(), IDM_SHUFFLE);
    m_strip->AfterEvent(m_now);
    m_strip->Tick(m_now += 3000);
    EXPECT_FALSE(m_strip->ClockRunning());
    EXPECT_EQ(m_strip->ElapsedMs(), 0);
    const int par = m_strip->Par();
    EXPECT_EQ(par, DistanceFromSolved(Game().m_basePieces));
    m_strip->TurnKey(ViewFace::Up, false, m_now);
    EXPECT_TRUE(m_strip->ClockRunning());
    m_strip->Tick(m_now += 2000);
    m_strip->SetVisible(false, m_now);
    m_strip->Tick(m_now += 60000);  // an hour in another tab counts nothing
    m_strip->SetVisible(true, m_now);
    m_strip->Tick(m_now += 1000);
    EXPECT_EQ(m_strip->ElapsedMs(), 3000);
    EXPECT_EQ(m_strip->StatusLine(), "1 move  0:03");
    Press(StripControl::TimeShown);
    EXPECT_EQ(m_strip->StatusLine(), "1 move");
    Press(StripControl::Undo);
    const int hints = SolveWithHints();
    EXPECT_EQ(hints, par);  // after the undo the distance is par again
    EXPECT_FALSE(m_strip->ClockRunning());
    const std::string result = "Solved in " + std::to_string(hints) + " moves (par " + std::to_string(par) + "), " +
                               FormatTime(m_strip->ElapsedMs()) + ", " + std::to_string(hints) + " hints.";
    EXPECT_EQ(m_strip->MessageLine(), result);
    // Hints keep a solve out of the best results; it still counts as solved.
    EXPECT_EQ(m_strip->Best().solved, 1);
    EXPECT_EQ(m_strip->Best().fewestMoves, 0);
    Press(StripControl::Best);
    EXPECT_EQ(m_strip->MessageLine(), "Solved 1 game.");
}

TEST_F(Strip, ShuffleAsksBeforeItThrowsAGameAway) {
    RunCommand(Game(), IDM_SHUFFLE);
    m_strip->AfterEvent(m_now);
    const std::uint32_t shuffles = Game().m_shuffleCount;
    Press(StripControl::LayerFront);
    Press(StripControl::Clockwise);
    Press(StripControl::Shuffle);
    EXPECT_TRUE(m_strip->Control(StripControl::ShuffleYes).shown);
    EXPECT_FALSE(m_strip->Control(StripControl::Undo).shown);
    Press(StripControl::ShuffleNo);
    EXPECT_EQ(Game().m_shuffleCount, shuffles);
    EXPECT_EQ(MoveCount(Game()), 1);
    Press(StripControl::Shuffle);
    Press(StripControl::ShuffleYes);
    EXPECT_EQ(Game().m_shuffleCount, shuffles + 1);
    EXPECT_EQ(MoveCount(Game()), 0);
    Press(StripControl::Shuffle);  // no moves yet: no question
    EXPECT_EQ(Game().m_shuffleCount, shuffles + 2);
}

// A kept game opens as it was left; a damaged save and a bad link say so and start afresh.
TEST_F(Strip, AKeptGameOpensAsItWasLeft) {
    RunCommand(Game(), IDM_SHUFFLE);
    m_strip->AfterEvent(m_now);
    m_strip->TurnKey(ViewFace::Right, true, m_now);
    m_strip->WholeTurnKey(ViewFace::Up, false, m_now);
    Press(StripControl::Hint);
    m_strip->Tick(m_now += 4000);
    const std::string saved = m_strip->SaveText();
    const PuzzleGame before = Game();
    ASSERT_EQ(Start(nullptr, &saved), SaveRead::Ok);
    EXPECT_EQ(std::memcmp(Game().m_pieces, before.m_pieces, sizeof before.m_pieces), 0);
    EXPECT_EQ(Game().m_viewAngleY, before.m_viewAngleY);
    EXPECT_EQ(MoveCount(Game()), 1);
    EXPECT_EQ(m_strip->ElapsedMs(), 4000);
    EXPECT_EQ(m_strip->HintsUsed(), 1);
    EXPECT_EQ(m_strip->SaveText(), saved);

    std::string damaged = saved;
    damaged[damaged.size() / 2] ^= 0x20;
    EXPECT_EQ(Start(nullptr, &damaged), SaveRead::Bad);
    EXPECT_EQ(m_strip->MessageLine(), "The kept game could not be read; it was kept aside, and a new game begins.");
    EXPECT_FALSE(Game().m_shuffled);
    EXPECT_EQ(Start("1nonsense", &saved), SaveRead::Ok);  // a bad link: the kept game opens instead
    EXPECT_EQ(m_strip->MessageLine(), "This link does not describe a game: its first part is damaged.");
    EXPECT_EQ(MoveCount(Game()), 1);
}

}  // namespace
