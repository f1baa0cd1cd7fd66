// The distance of every position of the solver's encoding, by a breadth-first search over the
// solver's own moves (all eighteen game moves, each followed by the solver's turn of the whole
// puzzle): the exhaustive test checks it, the benchmarks take their hardest positions from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "solver/solver.h"

class DistanceCensus {
public:
    // Builds the table (4 bits a position, 1.75 MiB). Empty Problem() when the moves act on
    // the permutation and the twists apart, as the search assumes.
    DistanceCensus();

    [[nodiscard]] int DistanceOf(std::int32_t index) const {
        const auto i = static_cast<std::size_t>(index);
        return m_nibbles[i / 2] >> (i % 2 * 4) & 0xF;
    }
    // Positions at each distance 0..15 (15: never reached).
    [[nodiscard]] const std::vector<std::int64_t>& Counts() const { return m_counts; }
    [[nodiscard]] const std::string& Problem() const { return m_problem; }

    // The index after game move m (face m / 3, m % 3 + 1 quarter turns) from the position at index.
    [[nodiscard]] std::int32_t Next(std::int32_t index, int m) const;

private:
    std::vector<std::int32_t> m_permutationMoves;  // [permutation * 18 + move]
    std::vector<std::int32_t> m_twistMoves;        // [twist * 18 + move]
    std::vector<std::uint8_t> m_nibbles;
    std::vector<std::int64_t> m_counts;
    std::string m_problem;
};

constexpr int kGameMoves = 18;
inline FaceTurn GameMove(int m) {
    return FaceTurn{m / 3, m % 3 + 1};
}
