#include "interaction/hit_test.h"

#include "render/projection.h"
#include "test_support.h"

namespace {

using HitTest = PuzzleTest;

struct PolygonCase {
    int x;
    int y;
    bool inside;
};

TEST_F(HitTest, RectangleKeepsRightEdgeOnly) {
    const Point rect[4] = {{180, 195}, {60, 195}, {60, 75}, {180, 75}};
    const PolygonCase cases[] = {
        {120, 135, true}, {180, 135, true},  {61, 76, true},    {180, 194, true},   // inside, right edge
        {60, 135, false}, {59, 135, false},  {181, 135, false},                     // left edge, outside
        {120, 75, false}, {120, 195, false}, {120, 74, false},  {120, 196, false},  // top and bottom
        {180, 75, false}, {60, 195, false},                                         // corners
    };
    for (const PolygonCase& c : cases) {
        EXPECT_EQ(PointInPolygon(rect, 4, c.x, c.y), c.inside) << c.x << "," << c.y;
    }
}

TEST_F(HitTest, DiamondCorners) {
    const Point diamond[4] = {{120, 60}, {180, 135}, {120, 210}, {60, 135}};
    const PolygonCase cases[] = {
        {60, 135, true},    // left corner counts as inside
        {180, 135, false},  // right corner does not
        {120, 60, false},   // top corner: at the highest vertex line
        {120, 210, false}, {120, 135, true}, {61, 135, true}, {179, 135, true},
    };
    for (const PolygonCase& c : cases) {
        EXPECT_EQ(PointInPolygon(diamond, 4, c.x, c.y), c.inside) << c.x << "," << c.y;
    }
}

TEST_F(HitTest, EmptyAndDegenerate) {
    const Point one[1] = {{5, 5}};
    EXPECT_FALSE(PointInPolygon(one, 0, 5, 5));
    EXPECT_FALSE(PointInPolygon(one, 1, 5, 5));
    const Point vertical[3] = {{10, 0}, {10, 20}, {0, 10}};
    EXPECT_TRUE(PointInPolygon(vertical, 3, 9, 10));
    EXPECT_FALSE(PointInPolygon(vertical, 3, 11, 10));
}

// The piece painted last wins: the walk starts at the end of the order it is given.
TEST_F(HitTest, WalksTheGivenOrderFromItsEnd) {
    for (int slot = 0; slot < 8; ++slot) {
        for (int face = 0; face < m_game.m_pieces[slot].faceCount; ++face) {
            int x = 0;
            int y = 0;
            FaceCentre(m_game, slot, face, &x, &y);
            if (HitPieceFace(m_game.m_pieces[slot], x, y) != face) {
                continue;  // facing away, or its centre lies on another of its faces
            }
            int order[8];
            for (int i = 0, n = 0; i < 8; ++i) {
                if (m_game.m_drawOrder[i] != slot) {
                    order[n++] = m_game.m_drawOrder[i];
                }
            }
            order[7] = slot;
            int picked = -1;
            EXPECT_EQ(PickPieceFace(m_game.m_pieces, order, x, y, &picked), face)
                << "slot " << slot << " face " << face;
            EXPECT_EQ(picked, slot) << "face " << face;
        }
    }
    int untouched = 99;
    EXPECT_EQ(PickPieceFace(m_game.m_pieces, m_game.m_drawOrder, 2, 2, &untouched), -1);
    EXPECT_EQ(untouched, 99);
}

TEST_F(HitTest, WedgesAtTheStartView) {
    struct Case {
        int x;
        int y;
        int face;
    };
    const Case cases[] = {
        {120, 135, 0},   {60, 250, 0},   // +Z
        {150, 30, 2},    {5, 5, 2},      // +Y
        {230, 120, 5},   {235, 265, 5},  // +X
        {150, 82, 2},                    // the corner itself: atan2(0, 0) = 0
        {5000, 5000, 5},                 // far outside the drawn cube
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PickBoxFace(m_game.m_outerBox, c.x, c.y), c.face) << c.x << "," << c.y;
    }
}

TEST_F(HitTest, OneVisibleFacePicksNothing) {
    m_game.m_viewAngleX = 0;
    m_game.m_viewAngleY = 0;
    m_game.m_viewAngleZ = 0;
    m_game.m_scale = 0.06F;
    // Straight on, only +Z faces the viewer (the edge-on sides count too, but not as 2 or 3).
    RefreshView(m_game);
    int visible = 0;
    for (int f = 0; f < 6; ++f) {
        visible += IsBoxFaceFacingAway(m_game.m_outerBox, f) ? 0 : 1;
    }
    if (visible != 2 && visible != 3) {
        EXPECT_EQ(PickBoxFace(m_game.m_outerBox, 120, 135), -1);
    }
    OuterBox empty{};
    EXPECT_EQ(PickBoxFace(empty, 120, 135), -1);
}

TEST_F(HitTest, SectorsAndTheWrap) {
    struct Case {
        double p;
        double a;
        double b;
        bool inside;
    };
    const Case cases[] = {
        {175.9, 170.6, -170.4, true},   // 175 against 170.6..189
        {-179.0, 170.6, -170.4, true},  // 181
        {170.9, 170.6, -170.4, false},  // truncated to 170 first
        {10.0, 10.0, 20.0, true},       // both ends inclusive
        {20.0, 20.0, 10.0, true},      {20.1, 10.0, 20.0, false}, {0.0, -90.0, 90.0, true}, {100.0, -90.0, 90.0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAngleBetween(c.p, c.a, c.b), c.inside) << c.p << " in " << c.a << ".." << c.b;
    }
}

TEST_F(HitTest, HitsFrontFacesOnly) {
    int x = 0;
    int y = 0;
    // The top, chamfer and the two outer sides of the nearest piece.
    for (const int face : {3, 4, 5, 6}) {
        ASSERT_FALSE(IsFacingAway(m_game.m_pieces[0], face)) << face;
        FaceCentre(m_game, 0, face, &x, &y);
        EXPECT_EQ(HitPieceFace(m_game.m_pieces[0], x, y), face);
    }
    // The inner faces of piece 0 face away and are never hit, though the point lies in them.
    FaceCentre(m_game, 0, 0, &x, &y);
    const int hit = HitPieceFace(m_game.m_pieces[0], x, y);
    EXPECT_NE(hit, 0);
    EXPECT_EQ(HitPieceFace(m_game.m_pieces[0], 1000, 1000), -1);
    Piece none = m_game.m_pieces[0];
    none.faceCount = 0;
    EXPECT_EQ(HitPieceFace(none, x, y), -1);
}

}  // namespace
