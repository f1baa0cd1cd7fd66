// Optimal solutions in the face-turn metric: one turn of one layer by one, two or three
// quarter turns is one move, as one drag or one ApplyFaceTurn commits it. The solver reads the
// pieces it is given and keeps nothing: its tables are built by the compiler, read-only, and a
// question allocates nothing.
#pragma once

#include <cstdint>

#include "model/puzzle.h"

// A move is a FaceTurn (model/puzzle.h): what ApplyFaceTurn(game, face, quarterTurns) does.

// Every position is at most this many moves from solved.
constexpr int kMaxDistance = 11;

// The corners by slot, in the game's frame.
// piece: which piece stands in the slot, named by the slot it fills in the solved puzzle that
//   has the reference piece (the one carrying the lower colour of each opposite pair) in
//   slot 6, untwisted. In the puzzle as built that is the slot each piece starts in.
// twist: where the piece's own vertical (the axis its chamfer runs along; vertex 0 lies on it)
//   points: 0 along y, 1 and 2 along the axes one and two steps on, counter-clockwise as seen
//   from outside the corner.
struct CornerPosition {
    std::uint8_t piece[8];
    std::uint8_t twist[8];
};

// Reads the corners from the game's records, indexed by slot: colours where each side's centre
// point is (as the solved check reads them) and the model coordinates of vertex 0. False when
// the records do not make up the puzzle: a side point without a colour, a colour on the wrong
// number of pieces, a piece missing, doubled, mirrored or twisted in a way no turn can reach.
bool ReadCornerPosition(const Piece (&pieces)[8], CornerPosition* position);

// The corners after one game move, as ApplyFaceTurn leaves them.
CornerPosition AfterTurn(const CornerPosition& position, FaceTurn turn);

// Moves from solved, 0..kMaxDistance; 0 exactly when the solved check holds. -1 for a
// position that no turns reach.
int DistanceFromSolved(const CornerPosition& position);

// One optimal next move: applied with ApplyFaceTurn it leaves the puzzle one move nearer.
// Of all such moves the first in the order face 0..5, then quarter turns 1..3, so every build
// gives the same one; the opposite face turned the other way round (face ^ 1, 4 - quarterTurns)
// is always just as good, and differs only by a turn of the whole puzzle. False when solved or
// unreachable, with *turn untouched.
bool NextOptimalTurn(const CornerPosition& position, FaceTurn* turn);

// An optimal solution: every move is NextOptimalTurn of the position before it. Returns the
// number of moves (the distance), -1 for an unreachable position.
int OptimalSolution(const CornerPosition& position, FaceTurn (&turns)[kMaxDistance]);

// The same questions about the game's records; -1 or false when they do not read.
int DistanceFromSolved(const Piece (&pieces)[8]);
bool NextOptimalTurn(const Piece (&pieces)[8], FaceTurn* turn);
int OptimalSolution(const Piece (&pieces)[8], FaceTurn (&turns)[kMaxDistance]);

// The encoding the search works in, with the whole puzzle's orientation factored out: turned
// so that the reference piece stands in slot 6 untwisted, the pieces of the other seven slots
// (0..5, 7) give a permutation 0..5039 and the twists of slots 0..5 a number 0..728 (slot 7's
// follows from them). The index is permutation * 729 + twist; 0 is solved.
constexpr std::int32_t kPermutationCount = 5040;
constexpr std::int32_t kTwistCount = 729;
constexpr std::int32_t kPositionCount = kPermutationCount * kTwistCount;  // 8! x 3^7 / 24

// -1 for a position that no turns reach.
std::int32_t PositionIndex(const CornerPosition& position);
// The position of an index, as the search sees it (reference piece in slot 6, untwisted).
CornerPosition PositionAt(std::int32_t index);

// The search's two lower bounds: the moves the permutation alone, and the twists alone, need.
int PermutationBound(std::int32_t permutation);
int TwistBound(std::int32_t twist);
