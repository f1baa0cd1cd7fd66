// The solver against the distance of every position: a fault in the encoding or in the moves
// changes the counts, and a search that is not optimal, or breaks the tie rule, disagrees.
#include "tests/support/solver_census.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "solver/solver.h"

namespace {

const DistanceCensus& Census() {
    static const DistanceCensus census;
    return census;
}

TEST(SolverCensus, EveryPositionCountedByDistance) {
    const DistanceCensus& census = Census();
    ASSERT_EQ(census.Problem(), "");
    const std::vector<std::int64_t> expected = {1,      9,       54,      321,       1'847,   9'992,
                                                50'136, 227'536, 870'072, 1'887'748, 623'800, 2'644};
    std::vector<std::int64_t> counts = census.Counts();
    for (std::size_t d = expected.size(); d < counts.size(); ++d) {
        EXPECT_EQ(counts[d], 0) << "positions at distance " << d << " (15: never reached)";
    }
    counts.resize(expected.size());
    EXPECT_EQ(counts, expected);
}

// Each bound is the least distance of the positions that share its part: as tight as a bound
// of that part can be, and never more than the distance.
TEST(SolverCensus, BoundsAreTheLeastDistanceOfTheirPart) {
    const DistanceCensus& census = Census();
    std::vector<int> permutation(kPermutationCount, 99);
    std::vector<int> twist(kTwistCount, 99);
    for (std::int32_t i = 0; i < kPositionCount; ++i) {
        const int d = census.DistanceOf(i);
        int& p = permutation[static_cast<std::size_t>(i / kTwistCount)];
        int& t = twist[static_cast<std::size_t>(i % kTwistCount)];
        p = std::min(p, d);
        t = std::min(t, d);
    }
    for (std::int32_t p = 0; p < kPermutationCount; ++p) {
        ASSERT_EQ(PermutationBound(p), permutation[static_cast<std::size_t>(p)]) << "permutation " << p;
    }
    for (std::int32_t t = 0; t < kTwistCount; ++t) {
        ASSERT_EQ(TwistBound(t), twist[static_cast<std::size_t>(t)]) << "twists " << t;
    }
}

// Positions at every distance, the farthest ones first: the search's distance, its move (the
// first of the game's moves in order that leads one nearer) and its whole solution.
TEST(SolverCensus, SearchAgreesWithTheCensus) {
    const DistanceCensus& census = Census();
    // Every index once, in a scrambled order (1,000,003 is a prime that does not divide the count).
    std::vector<std::int32_t> sample;
    std::vector<std::int64_t> perDistance(kMaxDistance + 1, 0);
    for (std::int64_t k = 0; k < kPositionCount; ++k) {
        const auto i = static_cast<std::int32_t>(k * 1'000'003 % kPositionCount);
        const auto d = static_cast<std::size_t>(census.DistanceOf(i));
        if (perDistance[d] < (d == kMaxDistance ? 40 : 15)) {
            ++perDistance[d];
            sample.push_back(i);
        }
    }
    ASSERT_EQ(perDistance, (std::vector<std::int64_t>{1, 9, 15, 15, 15, 15, 15, 15, 15, 15, 15, 40}));
    for (const std::int32_t index : sample) {
        const CornerPosition position = PositionAt(index);
        ASSERT_EQ(PositionIndex(position), index);
        const int d = census.DistanceOf(index);
        EXPECT_EQ(DistanceFromSolved(position), d) << "position " << index;
        FaceTurn turn{-1, 0};
        ASSERT_EQ(NextOptimalTurn(position, &turn), d > 0) << "position " << index;
        if (d > 0) {
            const int chosen = turn.face * 3 + turn.quarterTurns - 1;
            EXPECT_EQ(census.DistanceOf(census.Next(index, chosen)), d - 1) << "position " << index;
            for (int m = 0; m < chosen; ++m) {
                EXPECT_GE(census.DistanceOf(census.Next(index, m)), d) << "position " << index << " move " << m;
            }
        }
        FaceTurn solution[kMaxDistance] = {};
        ASSERT_EQ(OptimalSolution(position, solution), d) << "position " << index;
        CornerPosition p = position;
        for (int k = 0; k < d; ++k) {
            p = AfterTurn(p, solution[k]);
        }
        EXPECT_EQ(PositionIndex(p), 0) << "position " << index;
    }
}

}  // namespace
