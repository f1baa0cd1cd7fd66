// The solver on the game's own pieces, turned through the commit path: its moves are the
// game's moves, whole-puzzle turns change nothing it sees, and hints solve in exactly the
// distance, with distance 0 exactly when the solved check holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "interaction/commit.h"
#include "interaction/shuffle.h"
#include "shell/commands.h"
#include "solver/solver.h"
#include "tests/support/drags.h"

namespace {

// The game these tests play.
PuzzleGame s_game{0, nullptr};

const Piece (&Pieces())[8] {
    return s_game.m_pieces;
}
void NewGame(std::uint32_t seed) {
    s_game = PuzzleGame(seed, nullptr);
}
void Play(FaceTurn turn) {
    ApplyFaceTurn(s_game, turn.face, turn.quarterTurns);
}

// Both layers across one axis (faces 2a and 2a + 1) by the same quarter turns: the whole puzzle.
void TurnWhole(int axis, int quarterTurns) {
    Play(FaceTurn{2 * axis, quarterTurns});
    Play(FaceTurn{2 * axis + 1, quarterTurns});
}

CornerPosition Read() {
    CornerPosition p{};
    EXPECT_TRUE(ReadCornerPosition(Pieces(), &p));
    return p;
}

bool operator==(const CornerPosition& a, const CornerPosition& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
bool operator==(const FaceTurn& a, const FaceTurn& b) {
    return a.face == b.face && a.quarterTurns == b.quarterTurns;
}

std::uint32_t Draw(std::uint32_t* state, std::uint32_t n) {
    *state = *state * 1664525U + 1013904223U;
    return (*state >> 8U) % n;
}

// In each of the 24 orientations (some several times over) the solved puzzle is solved, and
// one move away the hint undoes it: the undo on the same face, or the opposite face's same
// turn where that face comes first.
TEST(SolverGame, OneMoveFromSolvedInEveryOrientation) {
    for (int whole = 0; whole < 64; ++whole) {
        for (int m = 0; m < 18; ++m) {
            NewGame(1);
            TurnWhole(0, whole % 4);
            TurnWhole(1, whole / 4 % 4);
            TurnWhole(2, whole / 16);
            ASSERT_TRUE(IsSolved(s_game.m_pieces));
            ASSERT_EQ(PositionIndex(Read()), 0);
            EXPECT_EQ(DistanceFromSolved(Pieces()), 0);
            FaceTurn turn{-1, 0};
            EXPECT_FALSE(NextOptimalTurn(Pieces(), &turn));
            EXPECT_EQ(turn.face, -1);
            const FaceTurn move{m / 3, m % 3 + 1};
            Play(move);
            ASSERT_FALSE(IsSolved(s_game.m_pieces));
            EXPECT_EQ(DistanceFromSolved(Pieces()), 1);
            const FaceTurn undo = move.face % 2 == 0 ? FaceTurn{move.face, 4 - move.quarterTurns}
                                                     : FaceTurn{move.face - 1, move.quarterTurns};
            ASSERT_TRUE(NextOptimalTurn(Pieces(), &turn));
            EXPECT_TRUE(turn == undo) << "move " << m << " orientation " << whole << ": hint " << turn.face << " "
                                      << turn.quarterTurns;
        }
    }
}

// As built, every piece stands in its own slot, untwisted: the position is the identity.
TEST(SolverGame, TheBuiltPuzzleReadsAsItsOwnSlots) {
    NewGame(3);
    const CornerPosition p = Read();
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(p.piece[s], s);
        EXPECT_EQ(p.twist[s], 0);
    }
    EXPECT_EQ(PositionIndex(p), 0);
}

// Random games: turns of single layers and of the whole puzzle, a whole-puzzle drag, then
// hints (with whole-puzzle turns between them) until the solved check holds.
TEST(SolverGame, HintsSolveRandomGamesInTheDistance) {
    std::uint32_t state = 27;
    for (std::uint32_t game = 0; game < 40; ++game) {
        NewGame(game);
        CornerPosition position = Read();
        const std::uint32_t turns = 4 + Draw(&state, 20);
        for (std::uint32_t i = 0; i < turns; ++i) {
            if (Draw(&state, 4) == 0) {
                const std::int32_t before = PositionIndex(position);
                TurnWhole(static_cast<int>(Draw(&state, 3)), 1 + static_cast<int>(Draw(&state, 3)));
                position = Read();
                ASSERT_EQ(PositionIndex(position), before) << "game " << game;
            } else {
                const FaceTurn move{static_cast<int>(Draw(&state, 6)), 1 + static_cast<int>(Draw(&state, 3))};
                Play(move);
                const CornerPosition expected = AfterTurn(position, move);
                position = Read();
                ASSERT_TRUE(position == expected)
                    << "game " << game << ": face " << move.face << " by " << move.quarterTurns;
            }
        }
        CubeDrag drag(s_game);
        ASSERT_TRUE(drag.Begin());
        drag.Step();
        drag.End();
        ASSERT_TRUE(Read() == position);

        int distance = DistanceFromSolved(Pieces());
        FaceTurn solution[kMaxDistance] = {};
        ASSERT_EQ(OptimalSolution(Pieces(), solution), distance) << "game " << game;
        bool turnedWhole = false;  // the solution's moves hold in the frame it was found in
        for (int step = 0; step < distance + 1; ++step) {
            ASSERT_EQ(DistanceFromSolved(Pieces()), distance - step) << "game " << game << " hint " << step;
            ASSERT_EQ(IsSolved(s_game.m_pieces), step == distance) << "game " << game << " hint " << step;
            FaceTurn hint{-1, 0};
            if (!NextOptimalTurn(Pieces(), &hint)) {
                break;
            }
            EXPECT_TRUE(turnedWhole || hint == solution[step]) << "game " << game << " hint " << step;
            Play(hint);
            if (Draw(&state, 3) == 0) {
                turnedWhole = true;
                TurnWhole(static_cast<int>(Draw(&state, 3)), 1 + static_cast<int>(Draw(&state, 3)));
            }
        }
        EXPECT_TRUE(IsSolved(s_game.m_pieces)) << "game " << game;
    }
}

// Records that are not the puzzle read as nothing, and the questions about them say so.
TEST(SolverGame, RecordsThatAreNotThePuzzle) {
    struct Case {
        const char* name;
        void (*spoil)(Piece (&pieces)[8]);
    };
    const Case cases[] = {
        {"a blank record", [](Piece(&p)[8]) { p[3] = Piece{}; }},
        {"a record copied to another slot", [](Piece(&p)[8]) { p[1] = p[0]; }},
        {"a piece mirrored", [](Piece(&p)[8]) { std::swap(p[2].faceColour[4], p[2].faceColour[6]); }},
        {"a colour changed", [](Piece(&p)[8]) { p[5].faceColour[3] = 4; }},
        {"vertex 0 off the side", [](Piece(&p)[8]) { p[6].x[0] = 500.0F; }},
        {"a corner twisted alone",
         [](Piece(&p)[8]) {
             // Slot 0 is the all-positive corner: turning x to y, y to z and z to x keeps it there.
             Piece& c = p[0];
             for (int v = 0; v < 12; ++v) {
                 const float x = c.x[v];
                 c.x[v] = c.z[v];
                 c.z[v] = c.y[v];
                 c.y[v] = x;
             }
         }},
    };
    for (const Case& c : cases) {
        NewGame(5);
        for (int m = 0; m < 18; m += 5) {
            Play(FaceTurn{m / 3, m % 3 + 1});
        }
        Piece pieces[8];
        std::memcpy(pieces, Pieces(), sizeof pieces);
        CornerPosition p{};
        ASSERT_TRUE(ReadCornerPosition(pieces, &p)) << c.name;
        c.spoil(pieces);
        EXPECT_FALSE(ReadCornerPosition(pieces, &p)) << c.name;
        EXPECT_EQ(DistanceFromSolved(pieces), -1) << c.name;
        FaceTurn turn{-1, 0};
        EXPECT_FALSE(NextOptimalTurn(pieces, &turn)) << c.name;
        EXPECT_EQ(turn.face, -1) << c.name;
        FaceTurn solution[kMaxDistance] = {};
        EXPECT_EQ(OptimalSolution(pieces, solution), -1) << c.name;
    }
}

}  // namespace
