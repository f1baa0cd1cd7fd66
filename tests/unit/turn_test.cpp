#include <cmath>
#include <cstring>
#include <random>

#include "interaction/commit.h"
#include "interaction/shuffle.h"
#include "interaction/turn_choice.h"
#include "render/projection.h"
#include "test_support.h"

namespace {

using Turn = PuzzleTest;

TEST_F(Turn, WrapsOnceEachWay) {
    struct Case {
        float a;
        float b;
        float d;
    };
    const Case cases[] = {{170, -170, -20}, {10, 350, 20}, {0, 0, 0}, {180, 0, 180}, {-180, 0, -180}, {90, -90, 180}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(AngleDiff(c.a, c.b), c.d) << c.a << " - " << c.b;
        EXPECT_FLOAT_EQ(AbsAngleDiff(c.a, c.b), std::fabs(c.d));
    }
}

TEST_F(Turn, AxisDirectionsAtTheStartView) {
    // With no side touched, a drag to the right turns about Y, driven along +X.
    EXPECT_EQ(ChooseCubeTurn(m_game, -1, 0.0F), 5);
    EXPECT_NEAR(m_game.m_turnRefAngle, 10.35, 0.005);
    // Straight up: deviations X 79.65, Y 13.54, Z 39.03: turn about X, driven along +Y.
    EXPECT_EQ(ChooseCubeTurn(m_game, -1, 90.0F), 3);
    EXPECT_NEAR(m_game.m_turnRefAngle, 103.54, 0.005);
    // Along +Z: deviations X 40.62, Y 52.57, Z 0: turn about Y, driven along +Z.
    EXPECT_EQ(ChooseCubeTurn(m_game, -1, -129.03F), 5);
    EXPECT_NEAR(m_game.m_turnRefAngle, -129.03, 0.005);
    // A touched side's own axis is never chosen.
    EXPECT_EQ(ChooseCubeTurn(m_game, 2, 0.0F), 1);  // +Y side, drag right: Z
}

TEST_F(Turn, FaceCentreDepthsAndLayerInFront) {
    const Matrix34 m = m_game.m_viewMatrix;
    EXPECT_EQ(ProjectZ(m, 0, 0, 0), 32);
    EXPECT_EQ(ProjectZ(m, 0, 0, 1000), 88);
    EXPECT_EQ(ProjectZ(m, 1000, 0, 0), 47);
    EXPECT_EQ(ProjectZ(m, 0, 1000, 0), 44);
    const std::uint8_t front[6] = {1, 0, 0, 1, 1, 0};
    for (int face = 0; face < 6; ++face) {
        SelectTurnFace(m_game, face);
        m_game.m_turnAngleX = m_game.m_turnAngleY = m_game.m_turnAngleZ = 0.0F;
        ShowTurn(m_game);
        EXPECT_EQ(m_game.m_turnLayerFront, front[face]) << "face " << face;
    }
}

TEST_F(Turn, FaceAndChamferChoices) {
    // Drag to the right on the top of slot 0: turn the +Z layer, driven along +X.
    EXPECT_EQ(ChooseTurnFromFace(m_game, 0, 3, 0.0F), 0);
    EXPECT_NEAR(m_game.m_turnRefAngle, 10.35, 0.005);
    EXPECT_EQ(m_game.m_touchedAxis[AxisNumber(Axis::Y)], 1);
    EXPECT_EQ(m_game.m_turnSense, 1);
    // The same on slot 4, behind: the -Z layer.
    EXPECT_EQ(ChooseTurnFromFace(m_game, 4, 3, 0.0F), 1);
    // The top never turns about Y, whatever the direction.
    for (float a = -180.0F; a < 180.0F; a += 7.5F) {
        const int face = ChooseTurnFromFace(m_game, 0, 3, a);
        EXPECT_TRUE(face != 4 && face != 5) << a;
    }
    // Grey faces choose nothing.
    EXPECT_EQ(ChooseTurnFromFace(m_game, 0, 0, 0.0F), -1);
    EXPECT_EQ(ChooseTurnFromChamfer(m_game, 0, 1), -1);
    // A chamfer turns about the piece's long axis (Y for every solved piece).
    for (int slot = 0; slot < 8; ++slot) {
        const int face = ChooseTurnFromChamfer(m_game, slot, 5);
        EXPECT_EQ(face, slot == 0 || slot == 1 || slot == 4 || slot == 5 ? 4 : 5) << slot;
        EXPECT_EQ(m_game.m_touchedAxis[1] + m_game.m_touchedAxis[2] + m_game.m_touchedAxis[3], 0);
    }
}

// At turn angle 0 ShowTurn builds the plain view matrix bit for bit, hands it back in the
// matrix it was given (and nowhere else) and projects as RefreshView does.
TEST_F(Turn, ShowTurnAtZeroIsThePlainView) {
    struct Case {
        float x;
        float y;
        float z;
        float scale;
        int face;  // slot 7 stays still in faces 0, 2 and 4, so the matrix handed back is the plain one
    };
    const Case cases[] = {{-15, 15, 10, 0.06F, 0},
                          {33.5F, -120.25F, 7, 0.04F, 2},
                          {-170, 89.9F, -44.125F, 0.08F, 4},
                          {0, 0, 0, static_cast<float>(static_cast<double>(0.06F) - 0.01), 0}};
    for (const Case& c : cases) {
        m_game.m_viewAngleX = c.x;
        m_game.m_viewAngleY = c.y;
        m_game.m_viewAngleZ = c.z;
        m_game.m_scale = c.scale;
        RefreshView(m_game);
        const ModelSnapshot refreshed = TakeSnapshot(m_game);
        const Matrix34 plain = m_game.m_viewMatrix;
        m_game.m_viewMatrix = Matrix34{};
        SelectTurnFace(m_game, c.face);
        m_game.m_turnAngleX = m_game.m_turnAngleY = m_game.m_turnAngleZ = 0.0F;
        ShowTurn(m_game);
        EXPECT_EQ(std::memcmp(m_game.m_viewMatrix.m, plain.m, sizeof plain.m), 0) << "face " << c.face;
        EXPECT_TRUE(TakeSnapshot(m_game) == refreshed) << "face " << c.face;
    }
}

// Commit `angle` on face 0 and compare with whole quarter turns from a fresh puzzle.
ModelSnapshot AfterQuarters(PuzzleGame& game, int face, int quarters) {
    game = PuzzleGame(kTestSeed, nullptr);
    if (quarters % 4 != 0) {
        ApplyFaceTurn(game, face, quarters % 4);
    }
    return TakeSnapshot(game);
}

TEST_F(Turn, SnappingToQuarterTurns) {
    struct Case {
        float angle;
        int quarters;
    };
    const Case cases[] = {{0, 0},   {30, 0},  {44, 0},  {45, 1},  {60, 1},  {134, 1},
                          {135, 2}, {224, 2}, {225, 3}, {314, 3}, {315, 4}, {359, 4}};
    for (const Case& c : cases) {
        for (int face = 0; face < 6; ++face) {
            const ModelSnapshot expected = AfterQuarters(m_game, face, c.quarters);
            m_game = PuzzleGame(kTestSeed, nullptr);
            SelectTurnFace(m_game, face);
            const int axis = AxisNumber(kFaceAxis[face]);
            (axis == 1 ? m_game.m_turnAngleX : axis == 2 ? m_game.m_turnAngleY : m_game.m_turnAngleZ) = c.angle;
            CommitTurn(m_game);
            EXPECT_TRUE(TakeSnapshot(m_game) == expected) << "angle " << c.angle << " face " << face;
            EXPECT_EQ(m_game.m_turnAngleX + m_game.m_turnAngleY + m_game.m_turnAngleZ, 0.0F);
            EXPECT_EQ(m_game.m_turnAxis, Axis::None);
            EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
        }
    }
}

TEST_F(Turn, OneQuarterThenThreeRestoresEverything) {
    for (int face = 0; face < 6; ++face) {
        m_game = PuzzleGame(kTestSeed, nullptr);
        const ModelSnapshot fresh = TakeSnapshot(m_game);
        ApplyFaceTurn(m_game, face, 1);
        EXPECT_FALSE(TakeSnapshot(m_game) == fresh);
        EXPECT_FALSE(IsSolved(m_game.m_pieces));
        ApplyFaceTurn(m_game, face, 3);
        EXPECT_TRUE(TakeSnapshot(m_game) == fresh) << face;
    }
}

// A quarter turn carries each piece along the face's slot cycle, first to second.
TEST_F(Turn, QuarterTurnFollowsTheSlotCycle) {
    for (int face = 0; face < 6; ++face) {
        m_game = PuzzleGame(kTestSeed, nullptr);
        Piece before[8];
        for (int s = 0; s < 8; ++s) {
            before[s] = m_game.m_pieces[s];
        }
        ApplyFaceTurn(m_game, face, 1);
        for (int k = 0; k < 4; ++k) {
            const int from = kFaceSlots[face][k];
            const int to = kFaceSlots[face][(k + 1) % 4];
            EXPECT_EQ(m_game.m_pieces[to].faceColour[3], before[from].faceColour[3]);
            EXPECT_EQ(m_game.m_pieces[to].stickerColour[0], before[from].stickerColour[0]);
            EXPECT_TRUE(InSlotCorner(m_game.m_pieces[to], to)) << face << " " << to;
        }
    }
}

// Independent oracle: a side is one colour when every coloured face lying in its plane agrees.
bool SidesAreOneColour(const PuzzleGame& game) {
    for (int axis = 0; axis < 3; ++axis) {
        for (const float plane : {1000.0F, -1000.0F}) {
            int colour = -1;
            for (const Piece& piece : game.m_pieces) {
                for (int f = 0; f < 7; ++f) {
                    if (piece.faceColour[f] == kColourGrey || piece.faceColour[f] == kColourWhite) {
                        continue;
                    }
                    bool inPlane = true;
                    for (int k = 0; k < piece.faceVertexCount[f]; ++k) {
                        const int v = piece.faceVertex[f][k];
                        const float c = axis == 0 ? piece.x[v] : axis == 1 ? piece.y[v] : piece.z[v];
                        inPlane = inPlane && c == plane;
                    }
                    if (!inPlane) {
                        continue;
                    }
                    if (colour == -1) {
                        colour = piece.faceColour[f];
                    } else if (colour != piece.faceColour[f]) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

TEST_F(Turn, RandomTurnSequencesKeepTheModelSound) {
    std::mt19937 rng(12345);
    int solvedSeen = 0;
    for (int run = 0; run < 20; ++run) {
        m_game = PuzzleGame(kTestSeed, nullptr);
        std::multiset<int> colours;
        for (const Piece& p : m_game.m_pieces) {
            colours.insert(p.faceColour[3] * 100 + p.faceColour[4] * 10 + p.faceColour[6]);
        }
        const int length = 1 + static_cast<int>(rng() % 300);
        for (int t = 0; t < length; ++t) {
            const int face = static_cast<int>(rng() % 6);
            const int quarters = 1 + static_cast<int>(rng() % 3);
            ApplyFaceTurn(m_game, face, quarters);
            // Undoing now and then makes solved states happen.
            if (rng() % 4 == 0) {
                ApplyFaceTurn(m_game, face, 4 - quarters);
            }
            EXPECT_EQ(IsSolved(m_game.m_pieces), SidesAreOneColour(m_game));
            solvedSeen += IsSolved(m_game.m_pieces) ? 1 : 0;
        }
        std::multiset<int> after;
        for (int s = 0; s < 8; ++s) {
            const Piece& p = m_game.m_pieces[s];
            after.insert(p.faceColour[3] * 100 + p.faceColour[4] * 10 + p.faceColour[6]);
            for (int v = 0; v < 12; ++v) {
                ASSERT_TRUE(IsModelCoordinate(p.x[v]) && IsModelCoordinate(p.y[v]) && IsModelCoordinate(p.z[v]));
            }
            EXPECT_TRUE(InSlotCorner(p, s)) << s;
        }
        EXPECT_TRUE(colours == after);
    }
    EXPECT_GT(solvedSeen, 0);
}

TEST_F(Turn, FoldingAZeroRotationKeepsTheView) {
    BuildViewMatrix(m_game, m_game.m_viewMatrix);
    AbsorbCubeRotation(m_game, m_game.m_viewMatrix);
    EXPECT_NEAR(m_game.m_viewAngleX, -15.0, 1e-3);
    EXPECT_NEAR(m_game.m_viewAngleY, 15.0, 1e-3);
    EXPECT_NEAR(m_game.m_viewAngleZ, 10.0, 1e-3);
    for (int i = 0; i < 1000; ++i) {
        BuildViewMatrix(m_game, m_game.m_viewMatrix);
        AbsorbCubeRotation(m_game, m_game.m_viewMatrix);
    }
    EXPECT_NEAR(m_game.m_viewAngleX, -15.0, 1e-2);
    EXPECT_NEAR(m_game.m_viewAngleY, 15.0, 1e-2);
    EXPECT_NEAR(m_game.m_viewAngleZ, 10.0, 1e-2);
}

TEST_F(Turn, RandomViewsSurviveAFold) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> angle(-180.0F, 180.0F);
    for (int i = 0; i < 500; ++i) {
        m_game.m_viewAngleX = angle(rng);
        m_game.m_viewAngleY = angle(rng);
        m_game.m_viewAngleZ = angle(rng) / 2.0F;  // away from the gimbal's pole
        BuildViewMatrix(m_game, m_game.m_viewMatrix);
        const Matrix34 before = m_game.m_viewMatrix;
        AbsorbCubeRotation(m_game, before);
        BuildViewMatrix(m_game, m_game.m_viewMatrix);
        for (int k = 0; k < 12; ++k) {
            EXPECT_NEAR(m_game.m_viewMatrix.m[k], before.m[k], 2e-5) << "entry " << k << " view " << i;
        }
        EXPECT_TRUE(std::isfinite(m_game.m_viewAngleX) && std::isfinite(m_game.m_viewAngleY) &&
                    std::isfinite(m_game.m_viewAngleZ));
    }
}

}  // namespace
