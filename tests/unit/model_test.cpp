#include <cmath>
#include <cstring>
#include <set>

#include "interaction/commit.h"
#include "interaction/shuffle.h"
#include "platform/crt_rand.h"
#include "render/projection.h"
#include "test_support.h"

namespace {

using Model = PuzzleTest;

TEST_F(Model, StartValuesOfTheGameAndGlobals) {
    m_game = PuzzleGame(kTestSeed, nullptr);  // before any paint
    EXPECT_EQ(m_game.m_viewAngleX, -15.0F);
    EXPECT_EQ(m_game.m_viewAngleY, 15.0F);
    EXPECT_EQ(m_game.m_viewAngleZ, 10.0F);
    EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
    EXPECT_EQ(m_game.m_hitFace, -1);
    EXPECT_EQ(m_game.m_pressX, -1);
    EXPECT_EQ(m_game.m_pressY, -1);
    EXPECT_EQ(m_game.m_dragThreshold, 30.0F);
    EXPECT_EQ(m_game.m_turnAxis, Axis::None);
    EXPECT_EQ(m_game.m_scale, 0.06F);
    EXPECT_EQ(m_game.m_skin, Skin::Stickers);
    EXPECT_EQ(m_game.m_solved, 1);
    EXPECT_EQ(m_game.m_dragMode, DragMode::None);
    EXPECT_EQ(m_game.m_pressPending, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m_game.m_drawOrder[i], i);
        EXPECT_EQ(m_game.m_inTurningLayer[i], 0);
    }
    EXPECT_TRUE(IsSolved(m_game.m_pieces));
}

TEST_F(Model, FacesColoursAndStickersOfEveryPiece) {
    for (int p = 0; p < 8; ++p) {
        const Piece& piece = m_game.m_pieces[p];
        EXPECT_EQ(piece.vertexCount, 12);
        EXPECT_EQ(piece.faceCount, 7);
        EXPECT_EQ(piece.stickerCount, 3);
        for (int f = 0; f < 7; ++f) {
            EXPECT_EQ(piece.faceColour[f] == kColourWhite, f == 5) << "piece " << p << " face " << f;
            EXPECT_EQ(piece.faceColour[f] == kColourGrey, f <= 2) << "piece " << p << " face " << f;
        }
        for (int f = 0; f <= 3; ++f) {
            EXPECT_EQ(piece.faceSticker[f], -1);
        }
        EXPECT_EQ(piece.faceSticker[5], 1);
        // Sticker 0 sits on whichever side face is the polygon 4, 3, 8, 9.
        const int sideA = piece.faceVertex[4][0] == 4 ? 4 : 6;
        EXPECT_EQ(piece.faceSticker[sideA], 0);
        EXPECT_EQ(piece.faceSticker[10 - sideA], 2);
        EXPECT_EQ(piece.faceVertexCount[0], 5);
        EXPECT_EQ(piece.faceVertexCount[3], 5);
        EXPECT_EQ(piece.stickerVertexCount[0], 4);
        EXPECT_EQ(piece.stickerVertexCount[1], 3);
        EXPECT_EQ(piece.stickerVertexCount[2], 3);
        for (int v = 0; v < 12; ++v) {
            EXPECT_TRUE(IsModelCoordinate(piece.x[v]) && IsModelCoordinate(piece.y[v]) &&
                        IsModelCoordinate(piece.z[v]));
            // Zeros are positive zeros.
            for (const float c : {piece.x[v], piece.y[v], piece.z[v]}) {
                if (c == 0.0F) {
                    EXPECT_FALSE(std::signbit(c));
                }
            }
        }
    }
    EXPECT_EQ(m_game.m_pieces[7].faceVertex[2][0], 5);
    EXPECT_EQ(m_game.m_pieces[0].faceVertex[2][0], 0);
}

// Each side's centre is a vertex of exactly one non-grey face of each of its four pieces,
// in the side's skin-1 colour.
TEST_F(Model, SideCentresTouchOneColouredFacePerPiece) {
    struct Side {
        float point[3];
        int slots[4];
        int colour;
    };
    const Side sides[6] = {
        {{1000, 0, 0}, {0, 3, 4, 7}, 1},  {{-1000, 0, 0}, {1, 2, 5, 6}, 0}, {{0, 1000, 0}, {0, 1, 4, 5}, 6},
        {{0, -1000, 0}, {2, 3, 6, 7}, 5}, {{0, 0, 1000}, {0, 1, 2, 3}, 3},  {{0, 0, -1000}, {4, 5, 6, 7}, 2},
    };
    for (const Side& side : sides) {
        for (const int slot : side.slots) {
            const Piece& piece = m_game.m_pieces[slot];
            int touching = 0;
            for (int f = 0; f < 7; ++f) {
                if (piece.faceColour[f] == kColourGrey) {
                    continue;
                }
                for (int k = 0; k < piece.faceVertexCount[f]; ++k) {
                    const int v = piece.faceVertex[f][k];
                    if (piece.x[v] == side.point[0] && piece.y[v] == side.point[1] && piece.z[v] == side.point[2]) {
                        ++touching;
                        EXPECT_EQ(piece.faceColour[f], side.colour) << "slot " << slot;
                    }
                }
            }
            EXPECT_EQ(touching, 1) << "slot " << slot;
        }
    }
}

// Every face lists its corners clockwise from outside: the right-hand normal points inward.
TEST_F(Model, FacesWindClockwiseFromOutside) {
    for (const Piece& piece : m_game.m_pieces) {
        float cx = 0;
        float cy = 0;
        float cz = 0;
        for (int v = 0; v < 10; ++v) {
            cx += piece.x[v] / 10;
            cy += piece.y[v] / 10;
            cz += piece.z[v] / 10;
        }
        for (int f = 0; f < 7; ++f) {
            const int* idx = piece.faceVertex[f];
            const float ax = piece.x[idx[1]] - piece.x[idx[0]];
            const float ay = piece.y[idx[1]] - piece.y[idx[0]];
            const float az = piece.z[idx[1]] - piece.z[idx[0]];
            const float bx = piece.x[idx[2]] - piece.x[idx[1]];
            const float by = piece.y[idx[2]] - piece.y[idx[1]];
            const float bz = piece.z[idx[2]] - piece.z[idx[1]];
            const float nx = ay * bz - az * by;
            const float ny = az * bx - ax * bz;
            const float nz = ax * by - ay * bx;
            const float toCentre =
                nx * (cx - piece.x[idx[0]]) + ny * (cy - piece.y[idx[0]]) + nz * (cz - piece.z[idx[0]]);
            EXPECT_GT(toCentre, 0.0F) << "face " << f;
        }
    }
}

// Nothing of a game played before leaks into a new one: every byte is the constructed state.
TEST_F(Model, ANewGameIsTheConstructedStateWhateverWasPlayedBefore) {
    const PuzzleGame before(kTestSeed, nullptr);
    ShuffleCube(m_game);
    m_game.m_scale = 0.08F;
    m_game.m_skin = Skin::Plain;
    m_game.m_viewAngleX = 33.0F;
    RefreshView(m_game);
    ASSERT_FALSE(TakeSnapshot(m_game) == TakeSnapshot(before));
    const PuzzleGame after(kTestSeed, nullptr);
    EXPECT_EQ(StateDifference(after, before), "");
}

TEST_F(Model, TimeSeedUsesMinutesTimesSix) {
    struct Case {
        LocalTime time;
        std::uint32_t seed;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0},
        {{1, 0, 0}, 6000},  // six, not sixty
        {{0, 1, 1}, 1001},
        {{59, 59, 999}, 413999},
    };
    RecordingHost host;
    m_game.m_host = &host;
    for (const Case& c : cases) {
        host.time = c.time;
        EXPECT_EQ(MakeTimeSeed(&host), c.seed);
    }
}

TEST_F(Model, MatchesTheMicrosoftRuntime) {
    CrtRandom random;
    random.Seed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (const int e : expected) {
        EXPECT_EQ(random.Next(), e);
    }
    random.Seed(0xFFFFFFFFU);
    for (int i = 0; i < 1000; ++i) {
        const int r = random.Next();
        EXPECT_GE(r, 0);
        EXPECT_LE(r, kCrtRandMax);
    }
}

}  // namespace
