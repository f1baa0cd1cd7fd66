#include "interaction/moves.h"

#include <cmath>
#include <cstring>
#include <random>

#include "interaction/commit.h"
#include "interaction/shuffle.h"
#include "interaction/view_turns.h"
#include "render/projection.h"
#include "test_support.h"

namespace {

class Moves : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        m_game.m_host = &m_host;
        ShuffleCube(m_game);
    }

    // What undo and redo must bring back: the pieces, the solved flag, the buttons, the count.
    struct Seen {
        Piece pieces[8];
        std::uint8_t solved;
        bool shuffleShown;
        bool newSkinShown;
        int moves;
        bool operator==(const Seen& o) const {
            return std::memcmp(pieces, o.pieces, sizeof pieces) == 0 && solved == o.solved &&
                   shuffleShown == o.shuffleShown && newSkinShown == o.newSkinShown && moves == o.moves;
        }
    };
    Seen Look() const {
        Seen s{};
        std::memcpy(s.pieces, m_game.m_pieces, sizeof s.pieces);
        s.solved = m_game.m_solved;
        s.shuffleShown = m_host.visible[static_cast<int>(HostButton::Shuffle)];
        s.newSkinShown = m_host.visible[static_cast<int>(HostButton::NewSkin)];
        s.moves = MoveCount(m_game);
        return s;
    }

    RecordingHost m_host;
};

// Random play of turns, undos, redos and restarts: after any undo x k then redo x k, what the
// player sees is what was there before; undo past the shuffle changes nothing.
TEST_F(Moves, UndoThenRedoBringsBackWhatWasThere) {
    std::mt19937 rng(2026);
    std::vector<Seen> path;  // what the position looked like after each step, for the checks
    for (int round = 0; round < 300; ++round) {
        const int what = static_cast<int>(rng() % 10);
        if (what < 6) {
            ASSERT_TRUE(PlayTurn(m_game, FaceTurn{static_cast<int>(rng() % 6), static_cast<int>(rng() % 3) + 1}));
        } else if (what < 7) {
            Restart(m_game);
        } else {
            const int k = static_cast<int>(rng() % 6) + 1;
            const Seen before = Look();
            int undone = 0;
            while (undone < k && Undo(m_game)) {
                ++undone;
            }
            for (int i = 0; i < undone; ++i) {
                ASSERT_TRUE(Redo(m_game)) << "round " << round << " redo " << i;
            }
            ASSERT_TRUE(before == Look()) << "round " << round << ", " << undone << " undone";
            EXPECT_FALSE(CanRedo(m_game));
        }
    }
    // All the way back: the shuffle's pieces, nothing counted, and no further.
    while (Undo(m_game)) {
    }
    EXPECT_EQ(MoveCount(m_game), 0);
    EXPECT_TRUE(SameModels(m_game.m_pieces, m_game.m_basePieces));
    const Seen first = Look();
    EXPECT_FALSE(Undo(m_game));
    EXPECT_TRUE(first == Look());
}

TEST_F(Moves, CountsMovesAndNotTurnsThatSprangBackOrTheWholePuzzle) {
    struct Case {
        const char* name;
        void (*play)(PuzzleGame& game);
        int moves;
    };
    const Case cases[] = {
        {"a key turn",
         [](PuzzleGame& game) {
             PlayTurn(game, FaceTurn{3, 2});
         },
         1},
        {"undo and redo",
         [](PuzzleGame& game) {
             PlayTurn(game, FaceTurn{3, 2}), Undo(game), Redo(game);
         },
         1},
        {"restart",
         [](PuzzleGame& game) {
             PlayTurn(game, FaceTurn{3, 2}), Restart(game);
         },
         0},
        {"restart undone",
         [](PuzzleGame& game) {
             PlayTurn(game, FaceTurn{1, 1}), Restart(game), Undo(game);
         },
         1},
        {"the whole puzzle", [](PuzzleGame& game) { TurnWholePuzzle(game, ViewFace::Right, false); }, 0},
        {"a drag that springs back",
         [](PuzzleGame& game) {
             int x = 0;
             int y = 0;
             FaceCentre(game, game.m_drawOrder[7], 3, &x, &y);
             game.StylusDown(x, y);
             game.StylusMove(x, y);
             game.StylusMove(x + 8, y);  // a few degrees: settles back
             game.StylusUp();
         },
         0},
        {"nothing while the stylus is down",
         [](PuzzleGame& game) {
             game.StylusDown(5, 5);
             PlayTurn(game, FaceTurn{0, 1});
             TurnWholePuzzle(game, ViewFace::Up, false);
             game.StylusUp();
         },
         0},
    };
    for (const Case& c : cases) {
        m_game = PuzzleGame(kTestSeed, &m_host);
        ShuffleCube(m_game);
        BuildDrawOrder(m_game, m_game.m_drawOrder);
        c.play(m_game);
        EXPECT_EQ(MoveCount(m_game), c.moves) << c.name;
    }
}

// Past the list's size the game plays and counts on; undo reaches back only that far, and the
// way from the shuffle is no longer whole.
TEST_F(Moves, PastTheListUndoReachesBackOnlyThatFar) {
    FaceTurn path[kMaxHistory];
    for (int i = 0; i < kMaxHistory + 5; ++i) {
        ASSERT_TRUE(PlayTurn(m_game, FaceTurn{i % 6, 1}));
    }
    EXPECT_EQ(MoveCount(m_game), kMaxHistory + 5);
    EXPECT_EQ(PathFromShuffle(m_game, path), -1);
    int undone = 0;
    while (Undo(m_game)) {
        ++undone;
    }
    EXPECT_EQ(undone, kMaxHistory);
    EXPECT_EQ(MoveCount(m_game), 5);
    // A restart still knows the shuffle's pieces, and the way is whole again from there.
    ASSERT_TRUE(Restart(m_game));
    EXPECT_TRUE(SameModels(m_game.m_pieces, m_game.m_basePieces));
    EXPECT_EQ(PathFromShuffle(m_game, path), 0);
    EXPECT_FALSE(Undo(m_game));  // the way before it reaches past the list
}

// A side turned clockwise as seen from outside it: on the screen, the pieces of a side that
// faces the viewer go round clockwise, those of a side that faces away anticlockwise. The
// sides are where the view shows them: front nearest, up highest, right furthest right.
TEST_F(Moves, ViewSidesTurnAsThePlayerSeesThem) {
    const float views[][3] = {{-15, 15, 10}, {30, -60, 5}, {-120, 200, -30}, {80, 10, 170}, {0, 0, 0}};
    for (const auto& v : views) {
        for (int s = 0; s < kViewFaceCount; ++s) {
            m_game = PuzzleGame(kTestSeed, nullptr);
            m_game.m_viewAngleX = v[0];
            m_game.m_viewAngleY = v[1];
            m_game.m_viewAngleZ = v[2];
            RefreshView(m_game);
            const auto side = static_cast<ViewFace>(s);
            const FaceTurn turn = ViewTurn(m_game, side, 1);
            const Point3& c = kFaceCentres[turn.face];
            const Matrix34& m = m_game.m_viewMatrix;
            const float sx = m.TransformX(c.x, c.y, c.z) - m.TransformX(0, 0, 0);
            const float sy = m.TransformY(c.x, c.y, c.z) - m.TransformY(0, 0, 0);  // down
            const float sz = m.TransformZ(c.x, c.y, c.z) - m.TransformZ(0, 0, 0);  // toward the viewer
            const float along[kViewFaceCount] = {-sy, sy, -sx, sx, sz, -sz};
            EXPECT_GT(along[s], 0.0F) << "side " << kViewFaceLetters[s] << " view " << v[0] << ", " << v[1] << ", "
                                      << v[2];
            // The centre of a piece of the layer, on the screen, before and after.
            const int slot = kFaceSlots[turn.face][0];
            // Twelve times the centre of a piece on the screen.
            auto centre = [](const Piece& p, float* x, float* y) {
                *x = 0;
                *y = 0;
                for (int i = 0; i < 12; ++i) {
                    *x += static_cast<float>(p.sx[i]);
                    *y += static_cast<float>(p.sy[i]);
                }
            };
            float x0 = 0;
            float y0 = 0;
            centre(m_game.m_pieces[slot], &x0, &y0);
            ASSERT_TRUE(PlayTurn(m_game, turn));
            float x1 = 0;
            float y1 = 0;
            centre(m_game.m_pieces[kFaceSlots[turn.face][turn.quarterTurns]], &x1, &y1);  // where it went
            // The layer's own centre, half way out along its axis.
            const float cx = m.TransformX(c.x / 2, c.y / 2, c.z / 2) * 12.0F;
            const float cy = m.TransformY(c.x / 2, c.y / 2, c.z / 2) * 12.0F;
            // Screen y points down: a positive cross product turns clockwise.
            const float cross = (x0 - cx) * (y1 - cy) - (y0 - cy) * (x1 - cx);
            if (std::fabs(sz) < 1.0F) {
                continue;  // seen edge on: neither way round
            }
            EXPECT_EQ(cross > 0.0F, sz > 0.0F)
                << "side " << kViewFaceLetters[s] << " view " << v[0] << ", " << v[1] << ", " << v[2];
            ViewFace described = ViewFace::Front;
            int clockwise = 0;
            DescribeTurn(m_game, turn, &described, &clockwise);
            EXPECT_EQ(described, side);
            EXPECT_EQ(clockwise, 1);
        }
    }
}

}  // namespace
