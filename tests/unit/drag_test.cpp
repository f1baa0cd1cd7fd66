#include "interaction/drag.h"

#include <cmath>
#include <random>

#include "interaction/commit.h"
#include "interaction/hit_test.h"
#include "interaction/turn_choice.h"
#include "render/projection.h"
#include "shell/commands.h"
#include "test_support.h"

namespace {

using Drag = PuzzleTest;

// Presses and makes the first move at (x, y): the drag is set up there.
void PressAt(PuzzleGame& game, int x, int y) {
    game.StylusDown(x, y, false);
    game.StylusMove(x, y);
}

TEST_F(Drag, DragRightOnTheTopOfSlot0TurnsTheFrontLayer) {
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 0, 3, &x, &y);
    PressAt(m_game, x, y);
    ASSERT_EQ(m_game.m_dragMode, DragMode::Layer);
    ASSERT_EQ(m_game.m_hitSlot, 0);
    ASSERT_EQ(m_game.m_hitFace, 3);
    EXPECT_TRUE(m_game.StylusMove(x + 10, y));
    EXPECT_EQ(m_game.m_turnFace, 0);
    EXPECT_EQ(m_game.m_turnAxis, Axis::Z);
    EXPECT_NEAR(m_game.m_turnRefAngle, 10.35, 0.005);
    EXPECT_EQ(m_game.m_turnAngleZ, 346.0F);  // 14 degrees, negated: clockwise seen from the front
    EXPECT_EQ(m_game.m_turnLayerFront, 1);
    m_game.StylusUp();
    EXPECT_TRUE(IsSolved(m_game.m_pieces));  // 346 snaps back to 360: a full turn
}

TEST_F(Drag, SameDragOnSlot4TurnsTheBackLayer) {
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 4, 3, &x, &y);
    PressAt(m_game, x, y);
    ASSERT_EQ(m_game.m_hitSlot, 4);
    ASSERT_EQ(m_game.m_hitFace, 3);
    m_game.StylusMove(x + 10, y);
    EXPECT_EQ(m_game.m_turnFace, 1);
}

TEST_F(Drag, WholeCubeStepTurnsTheViewWithTheStylus) {
    // A step with no side under the start point.
    m_game.m_dragMode = DragMode::WholePuzzle;
    m_game.m_turnState = TurnState::NoneChosen;
    m_game.m_pressBoxFace = -1;
    m_game.m_pressX = m_game.m_lastX = 100;
    m_game.m_pressY = m_game.m_lastY = 100;
    const float zCentreBefore = m_game.m_viewMatrix.TransformX(0, 0, 1000);
    DragWholeCube(m_game, 110, 100);
    EXPECT_EQ(m_game.m_turnFace, 5);
    EXPECT_NEAR(m_game.m_viewAngleX, -12.18, 0.01);
    EXPECT_NEAR(m_game.m_viewAngleY, 1.11, 0.01);
    EXPECT_NEAR(m_game.m_viewAngleZ, 13.31, 0.01);
    EXPECT_NEAR(zCentreBefore, 107.6, 0.05);
    BuildViewMatrix(m_game, m_game.m_viewMatrix);
    EXPECT_NEAR(m_game.m_viewMatrix.TransformX(0, 0, 1000), 121.8, 0.05);
    // The step ends ready for the next one, from this point.
    EXPECT_EQ(m_game.m_dragMode, DragMode::WholePuzzle);
    EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
    EXPECT_EQ(m_game.m_pressX, 110);
    EXPECT_EQ(m_game.m_turnAngleY, 0.0F);
}

TEST_F(Drag, TheFirstWholeCubeMoveOnlyPicksAnAxis) {
    PressAt(m_game, 5, 5);  // beside the pieces, over the +Y wedge
    EXPECT_EQ(m_game.m_dragMode, DragMode::WholePuzzle);
    EXPECT_EQ(m_game.m_pressBoxFace, 2);
    EXPECT_NEAR(m_game.m_viewAngleX, -15.0, 1e-3);
    EXPECT_NEAR(m_game.m_viewAngleY, 15.0, 1e-3);
    m_game.StylusUp();
    EXPECT_EQ(m_game.m_dragMode, DragMode::None);
}

TEST_F(Drag, DeadZoneKeepsTheStartPointForTheFirstStep) {
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 0, 3, &x, &y);
    PressAt(m_game, x, y);
    m_game.StylusMove(x + 3, y);  // 9 < 30
    m_game.StylusMove(x + 5, y);  // 25 < 30
    EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
    EXPECT_EQ(m_game.m_lastX, x);
    EXPECT_EQ(m_game.m_turnAngleZ, 0.0F);
    m_game.StylusMove(x + 10, y);  // the whole 10 pixels in one step
    EXPECT_EQ(m_game.m_turnAngleZ, 346.0F);
}

// Steps along a reference of 0 degrees on face 0 with no sign rule applying.
class DragTurnStep : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        SelectTurnFace(m_game, 0);
        m_game.m_turnRefAngle = 0.0F;
        m_game.m_turnSense = 0;
    }
};

TEST_F(DragTurnStep, WholeDegreesPerStep) {
    struct Case {
        float scale;
        int steps;
        int dx;
        int dy;
        float angle;
    };
    const Case cases[] = {
        {0.06F, 1, 10, 0, 14},    // 1.4 degrees a pixel
        {0.04F, 1, 10, 0, 21},    // 2.1 at the smallest size
        {0.08F, 1, 10, 0, 10},    // 1.05 at the largest
        {0.06F, 10, 1, 0, 10},    // each 1.4 truncated to 1
        {0.06F, 1, 0, 10, 0},     // across the reference: nothing
        {0.06F, 1, -10, 0, 346},  // against it: backwards
        {0.06F, 3, 0, 1, 0},
    };
    for (const Case& c : cases) {
        m_game.m_scale = c.scale;
        m_game.m_turnAngleZ = 0.0F;
        for (int i = 0; i < c.steps; ++i) {
            TurnStep(m_game, c.dx, c.dy);
        }
        EXPECT_EQ(m_game.m_turnAngleZ, c.angle) << c.scale << " " << c.steps << "x(" << c.dx << "," << c.dy << ")";
    }
}

TEST_F(DragTurnStep, FractionsForwardAreLostBackwardCostADegree) {
    m_game.m_turnRefAngle = 10.0F;
    for (int i = 0; i < 10; ++i) {
        TurnStep(m_game, 1, 0);  // about 0.98 degree forward
    }
    EXPECT_EQ(m_game.m_turnAngleZ, 0.0F);
    m_game.m_turnSense = 1;  // rule 5: face 0 with the sense set counts backward
    for (int i = 0; i < 10; ++i) {
        TurnStep(m_game, 1, 0);
    }
    EXPECT_EQ(m_game.m_turnAngleZ, 350.0F);
}

TEST_F(DragTurnStep, HugeStepsStayInRangeAndCommitWholeTurns) {
    const int steps[][2] = {{65535, 0}, {-65535, 65535}, {65535, 65535}, {-65535, -65535}, {3, 65000}, {-70000, 1}};
    for (const auto& s : steps) {
        TurnStep(m_game, s[0], s[1]);
        EXPECT_GE(m_game.m_turnAngleZ, 0.0F);
        EXPECT_LE(m_game.m_turnAngleZ, 359.0F);
        EXPECT_EQ(m_game.m_turnAngleZ, std::floor(m_game.m_turnAngleZ));
    }
    CommitTurn(m_game);
    for (const Piece& p : m_game.m_pieces) {
        for (int v = 0; v < 12; ++v) {
            EXPECT_TRUE(IsModelCoordinate(p.x[v]) && IsModelCoordinate(p.y[v]) && IsModelCoordinate(p.z[v]));
        }
    }
}

TEST_F(Drag, StylusFarOutsideTheWindowDuringALayerDrag) {
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 0, 6, &x, &y);
    PressAt(m_game, x, y);
    m_game.StylusMove(x + 20, y + 3);
    m_game.StylusMove(65535, 65535);  // above and left of the window, captured
    m_game.StylusMove(65500, 10);
    const float angles[3] = {m_game.m_turnAngleX, m_game.m_turnAngleY, m_game.m_turnAngleZ};
    for (const float a : angles) {
        EXPECT_GE(a, 0.0F);
        EXPECT_LE(a, 359.0F);
    }
    m_game.StylusUp();
    for (const Piece& p : m_game.m_pieces) {
        for (int v = 0; v < 12; ++v) {
            EXPECT_TRUE(IsModelCoordinate(p.x[v]) && IsModelCoordinate(p.y[v]) && IsModelCoordinate(p.z[v]));
        }
    }
}

TEST_F(Drag, TouchAndLiftInsideTheDeadZoneShowsTheButtons) {
    RecordingHost host;
    m_game.m_host = &host;
    int x = 0;
    int y = 0;
    FaceCentre(m_game, 0, 3, &x, &y);
    m_game.StylusDown(x, y);
    m_game.StylusMove(x + 1, y);
    m_game.StylusUp();
    const std::vector<std::string> shown = {"show Shuffle", "show New Skin"};
    EXPECT_EQ(host.buttonCalls, shown);

    // A tap without movement sets up no drag and commits nothing.
    RecordingHost tapHost;
    m_game = PuzzleGame(kTestSeed, &tapHost);
    BuildDrawOrder(m_game, m_game.m_drawOrder);
    m_game.StylusDown(x, y);
    m_game.StylusUp();
    EXPECT_TRUE(tapHost.buttonCalls.empty());
}

TEST_F(Drag, GreyFaceNeverTurns) {
    m_game.m_dragMode = DragMode::Layer;
    m_game.m_hitSlot = 0;
    m_game.m_hitFace = 1;  // inner, grey
    m_game.m_pressX = m_game.m_lastX = 100;
    m_game.m_pressY = m_game.m_lastY = 100;
    DragLayer(m_game, 140, 120);
    EXPECT_EQ(m_game.m_turnState, TurnState::NoneChosen);
    EXPECT_EQ(m_game.m_lastX, 140);
}

// A model point turned the way the display turns the layer: the view flips y before the turn.
void TurnModelPoint(float turnAngle, int axis, const float p[3], float out[3]) {
    Matrix34 m{};
    m.SetIdentity();
    if (axis == 1) {
        m.RotateX(static_cast<double>(turnAngle));
    } else if (axis == 2) {
        m.RotateY(static_cast<double>(turnAngle));
    } else if (axis == 3) {
        m.RotateZ(static_cast<double>(turnAngle));
    }
    out[0] = m.TransformX(p[0], -p[1], p[2]);
    out[1] = -m.TransformY(p[0], -p[1], p[2]);
    out[2] = m.TransformZ(p[0], -p[1], p[2]);
}

// The model direction whose screen direction drives the turn: an axis, or a chamfer's edge.
void ReferenceDirection(PuzzleGame& game, const Piece& piece, int face, float dir[3]) {
    if (piece.faceColour[face] == kColourWhite) {
        dir[0] = piece.x[3] - piece.x[2];
        dir[1] = piece.y[3] - piece.y[2];
        dir[2] = piece.z[3] - piece.z[2];
        return;
    }
    BuildViewMatrix(game, game.m_viewMatrix);
    const Matrix34& m = game.m_viewMatrix;
    float best = 999.0F;
    for (int k = 0; k < 3; ++k) {
        float e[3] = {0, 0, 0};
        e[k] = 1000.0F;
        const float a = ScreenAngle(static_cast<double>(m.TransformX(e[0], e[1], e[2]) - m.TransformX(0, 0, 0)),
                                    static_cast<double>(m.TransformY(0, 0, 0) - m.TransformY(e[0], e[1], e[2])));
        const float d = AbsAngleDiff(a, game.m_turnRefAngle);
        if (d < best) {
            best = d;
            for (int i = 0; i < 3; ++i) {
                dir[i] = i == k ? 1.0F : 0.0F;
            }
        }
    }
}

// Whatever the view, the touched point moves along the reference direction the way the stylus does.
TEST_F(Drag, TouchedPointFollowsTheStylus) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> angle(-180.0F, 180.0F);
    int checked = 0;
    for (int view = 0; view < 60; ++view) {
        for (int slot = 0; slot < 8; ++slot) {
            for (int face = 3; face < 7; ++face) {
                m_game = PuzzleGame(kTestSeed, nullptr);
                m_game.m_viewAngleX = angle(rng);
                m_game.m_viewAngleY = angle(rng);
                m_game.m_viewAngleZ = angle(rng);
                RefreshView(m_game);
                const Piece& piece = m_game.m_pieces[slot];
                if (IsFacingAway(piece, face)) {
                    continue;
                }
                // The touched point: the face's model centroid.
                float p[3] = {0, 0, 0};
                const int n = piece.faceVertexCount[face];
                for (int k = 0; k < n; ++k) {
                    const int v = piece.faceVertex[face][k];
                    p[0] += piece.x[v] / static_cast<float>(n);
                    p[1] += piece.y[v] / static_cast<float>(n);
                    p[2] += piece.z[v] / static_cast<float>(n);
                }
                const float dir = angle(rng);
                const int dx = static_cast<int>(std::lround(12.0 * std::cos(static_cast<double>(dir) * 0.0174533)));
                const int dy = static_cast<int>(std::lround(12.0 * std::sin(static_cast<double>(dir) * 0.0174533)));
                m_game.m_dragMode = DragMode::Layer;
                m_game.m_hitSlot = slot;
                m_game.m_hitFace = face;
                m_game.m_pressX = m_game.m_lastX = 100;
                m_game.m_pressY = m_game.m_lastY = 100;
                DragLayer(m_game, 100 + dx, 100 - dy);
                if (m_game.m_turnState != TurnState::Chosen) {
                    continue;
                }
                const int axis = AxisNumber(m_game.m_turnAxis);
                const float turned = axis == 1   ? m_game.m_turnAngleX
                                     : axis == 2 ? m_game.m_turnAngleY
                                                 : m_game.m_turnAngleZ;
                const float ref = m_game.m_turnRefAngle * 0.017453292F;
                const float along = static_cast<float>(dx) * std::cos(ref) + static_cast<float>(dy) * std::sin(ref);
                if (std::fabs(along) < 3.0F || turned == 0.0F) {
                    continue;
                }
                float moved[3] = {};
                TurnModelPoint(turned, axis, p, moved);
                float refDir[3] = {};
                ReferenceDirection(m_game, piece, face, refDir);
                float component = 0.0F;
                for (int i = 0; i < 3; ++i) {
                    component += (moved[i] - p[i]) * refDir[i];
                }
                EXPECT_GT(component * along, 0.0F) << "view " << view << " slot " << slot << " face " << face;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

// The same promise for a whole-cube step: the centre of the touched side follows the stylus.
TEST_F(Drag, TouchedSideFollowsTheStylusInAWholeCubeStep) {
    const float centres[6][3] = {{0, 0, 1000}, {0, 0, -1000}, {0, 1000, 0}, {0, -1000, 0}, {-1000, 0, 0}, {1000, 0, 0}};
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> angle(-180.0F, 180.0F);
    int checked = 0;
    for (int view = 0; view < 300; ++view) {
        m_game = PuzzleGame(kTestSeed, nullptr);
        m_game.m_viewAngleX = angle(rng);
        m_game.m_viewAngleY = angle(rng);
        m_game.m_viewAngleZ = angle(rng);
        RefreshView(m_game);
        for (int side = 0; side < 6; ++side) {
            if (IsBoxFaceFacingAway(m_game.m_outerBox, side)) {
                continue;
            }
            const float dir = angle(rng);
            const int dx = static_cast<int>(std::lround(12.0 * std::cos(static_cast<double>(dir) * 0.0174533)));
            const int dy = static_cast<int>(std::lround(12.0 * std::sin(static_cast<double>(dir) * 0.0174533)));
            const int face = ChooseCubeTurn(m_game, side, ScreenAngle(dx, dy));
            ASSERT_NE(face, -1);
            m_game.m_turnFace = face;
            m_game.m_turnAxis = kFaceAxis[face];
            m_game.m_turnAngleX = m_game.m_turnAngleY = m_game.m_turnAngleZ = 0.0F;
            TurnStep(m_game, dx, dy);
            const int axis = AxisNumber(m_game.m_turnAxis);
            const float turned = axis == 1   ? m_game.m_turnAngleX
                                 : axis == 2 ? m_game.m_turnAngleY
                                             : m_game.m_turnAngleZ;
            const float ref = m_game.m_turnRefAngle * 0.017453292F;
            const float along = static_cast<float>(dx) * std::cos(ref) + static_cast<float>(dy) * std::sin(ref);
            if (std::fabs(along) < 3.0F || turned == 0.0F) {
                continue;
            }
            float moved[3] = {};
            TurnModelPoint(turned, axis, centres[side], moved);
            Piece any = m_game.m_pieces[0];
            any.faceColour[3] = 1;  // a coloured face: the reference is a model axis
            float refDir[3] = {};
            ReferenceDirection(m_game, any, 3, refDir);
            float component = 0.0F;
            for (int i = 0; i < 3; ++i) {
                component += (moved[i] - centres[side][i]) * refDir[i];
            }
            EXPECT_GT(component * along, 0.0F) << "view " << view << " side " << side;
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
}

}  // namespace
