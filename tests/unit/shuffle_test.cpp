#include "interaction/shuffle.h"

#include "platform/crt_rand.h"
#include "shell/commands.h"
#include "test_support.h"

namespace {

using Shuffle = PuzzleTest;

// Finds a seed whose first draw is r (the generator's first output depends on the seed's low bits).
std::uint32_t SeedGivingFirstDraw(int r) {
    for (std::uint32_t seed = 0; seed < (1U << 20U); ++seed) {
        CrtRandom random;
        random.Seed(seed);
        if (random.Next() == r) {
            return seed;
        }
    }
    ADD_FAILURE() << "no seed draws " << r;
    return 0;
}

TEST_F(Shuffle, RangesOfEveryDraw) {
    struct Case {
        int r;
        int n;
        int value;
    };
    const Case cases[] = {
        {0, 6, 0},     {5461, 6, 0},  {5462, 6, 1},  {27305, 6, 4}, {27306, 6, 5}, {32766, 6, 5},
        {32767, 6, 5},  // the one draw that would give n itself
        {21844, 3, 1}, {21845, 3, 2}, {32766, 3, 2}, {32767, 3, 2}, {0, 1, 0},     {32767, 1, 0},
    };
    for (const Case& c : cases) {
        CrtRandom random;
        random.Seed(SeedGivingFirstDraw(c.r));
        EXPECT_EQ(RandomBelow(random, c.n), c.value) << "r " << c.r << " n " << c.n;
    }
}

TEST_F(Shuffle, TwentyTurnsUnsolvedViewUntouched) {
    RecordingHost host;
    m_game.m_host = &host;
    m_game.m_random.Seed(1234);
    m_game.m_scale = 0.07F;
    ShuffleCube(m_game);
    EXPECT_EQ(host.invalidations, 20);  // one re-projection per committed turn
    const std::vector<std::string> hidden = {"hide Shuffle", "hide New Skin"};
    EXPECT_EQ(host.buttonCalls, hidden);
    EXPECT_EQ(m_game.m_solved, 0);
    EXPECT_EQ(m_game.m_scale, 0.07F);
    EXPECT_EQ(m_game.m_viewAngleX, -15.0F);
    EXPECT_EQ(m_game.m_viewAngleY, 15.0F);
    EXPECT_EQ(m_game.m_viewAngleZ, 10.0F);
    EXPECT_EQ(m_game.m_turnAxis, Axis::None);
    EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
    // Twenty pairs of draws.
    m_game.m_random.Seed(1234);
    for (int i = 0; i < 40; ++i) {
        m_game.m_random.Next();
    }
    const int next = m_game.m_random.Next();
    m_game = PuzzleGame(1234, &host);  // the construction's clock seed gives way
    ShuffleCube(m_game);
    EXPECT_EQ(m_game.m_random.Next(), next);
}

TEST_F(Shuffle, SameSeedSameShuffle) {
    m_game.m_random.Seed(77);
    ShuffleCube(m_game);
    const ModelSnapshot first = TakeSnapshot(m_game);
    m_game = PuzzleGame(77, nullptr);
    ShuffleCube(m_game);
    EXPECT_TRUE(TakeSnapshot(m_game) == first);
    m_game = PuzzleGame(78, nullptr);
    ShuffleCube(m_game);
    EXPECT_FALSE(TakeSnapshot(m_game) == first);
}

TEST_F(Shuffle, UnsolvedEvenWhenTheTurnsCancel) {
    // Seed 0 and a puzzle that is shuffled from solved: whatever the turns give, the flag is clear.
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        m_game = PuzzleGame(seed, nullptr);
        ShuffleCube(m_game);
        EXPECT_EQ(m_game.m_solved, 0);
    }
}

}  // namespace
