#include "tests/support/solver_census.h"

namespace {

constexpr int kUnreached = 15;

std::int32_t IndexAfter(std::int32_t index, int m) {
    return PositionIndex(AfterTurn(PositionAt(index), GameMove(m)));
}

}  // namespace

std::int32_t DistanceCensus::Next(std::int32_t index, int m) const {
    const auto p = static_cast<std::size_t>(index / kTwistCount);
    const auto t = static_cast<std::size_t>(index % kTwistCount);
    const auto k = static_cast<std::size_t>(m);
    return m_permutationMoves[p * kGameMoves + k] * kTwistCount + m_twistMoves[t * kGameMoves + k];
}

DistanceCensus::DistanceCensus()
    : m_permutationMoves(static_cast<std::size_t>(kPermutationCount) * kGameMoves),
      m_twistMoves(static_cast<std::size_t>(kTwistCount) * kGameMoves),
      m_nibbles((static_cast<std::size_t>(kPositionCount) + 1) / 2, 0xFF),
      m_counts(kUnreached + 1, 0) {
    // Where each move takes the permutation (with no twist) and the twists (with no
    // permutation); a stride through every position checks that the two never mix.
    for (int m = 0; m < kGameMoves; ++m) {
        const auto k = static_cast<std::size_t>(m);
        for (std::int32_t p = 0; p < kPermutationCount; ++p) {
            m_permutationMoves[static_cast<std::size_t>(p) * kGameMoves + k] =
                IndexAfter(p * kTwistCount, m) / kTwistCount;
        }
        for (std::int32_t t = 0; t < kTwistCount; ++t) {
            m_twistMoves[static_cast<std::size_t>(t) * kGameMoves + k] = IndexAfter(t, m) % kTwistCount;
        }
        for (std::int32_t i = m; i < kPositionCount; i += 997) {
            if (IndexAfter(i, m) != Next(i, m)) {
                m_problem = "move " + std::to_string(m) + " from position " + std::to_string(i) +
                            " mixes the permutation and the twists";
                return;
            }
        }
    }
    // Layer by layer: every position at distance d passes d + 1 to the unreached ones it leads to.
    std::uint8_t* nibbles = m_nibbles.data();
    auto set = [nibbles](std::int32_t index, int value) {
        const auto i = static_cast<std::size_t>(index);
        const unsigned shift = i % 2 * 4;
        nibbles[i / 2] =
            static_cast<std::uint8_t>((nibbles[i / 2] & ~(0xFU << shift)) | static_cast<unsigned>(value) << shift);
    };
    set(0, 0);
    m_counts[0] = 1;
    std::int64_t reached = 1;
    for (int d = 0; d + 1 < kUnreached && reached < kPositionCount; ++d) {
        std::int64_t found = 0;
        for (std::int32_t i = 0; i < kPositionCount; ++i) {
            if (DistanceOf(i) != d) {
                continue;
            }
            for (int m = 0; m < kGameMoves; ++m) {
                const std::int32_t next = Next(i, m);
                if (DistanceOf(next) == kUnreached) {
                    set(next, d + 1);
                    ++found;
                }
            }
        }
        if (found == 0) {
            break;
        }
        m_counts[static_cast<std::size_t>(d) + 1] = found;
        reached += found;
    }
    m_counts[kUnreached] = kPositionCount - reached;
}
