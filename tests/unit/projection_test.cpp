#include "render/projection.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/crt_math.h"
#include "test_support.h"
#include "tests/support/case_name.h"

namespace {

using Projection = PuzzleTest;

TEST_F(Projection, StartViewMatrix) {
    const double expected[12] = {0.057075, -0.010419, 0.015293,  120,      -0.013740, -0.057075,
                                 0.012395, 135,       -0.012395, 0.015293, 0.056679,  32};
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(m_game.m_viewMatrix.m[i], expected[i], 0.5e-6) << "entry " << i;
    }
}

struct ProjectCase {
    const char* name;
    float angles[3];  // x, y, z
    float point[3];
    int sx;
    int sy;
    int sz;
};

class ProjectionPoints : public PuzzleTest, public ::testing::WithParamInterface<ProjectCase> {};

TEST_P(ProjectionPoints, ProjectsToWholePixels) {
    const ProjectCase c = GetParam();
    m_game.m_viewAngleX = c.angles[0];
    m_game.m_viewAngleY = c.angles[1];
    m_game.m_viewAngleZ = c.angles[2];
    RefreshView(m_game);
    const float* p = c.point;
    EXPECT_EQ(ProjectX(m_game.m_viewMatrix, p[0], p[1], p[2]), c.sx);
    EXPECT_EQ(ProjectY(m_game.m_viewMatrix, p[0], p[1], p[2]), c.sy);
    EXPECT_EQ(ProjectZ(m_game.m_viewMatrix, p[0], p[1], p[2]), c.sz);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, ProjectionPoints,
    ::testing::Values(ProjectCase{"start_view_near_corner", {-15, 15, 10}, {1000, 1000, 1000}, 150, 82, 116},
                      // -52.37 truncates toward zero
                      ProjectCase{"start_view_far_corner", {-15, 15, 10}, {-1000, -1000, -1000}, 89, 187, -52},
                      ProjectCase{"start_view_centre", {-15, 15, 10}, {0, 0, 0}, 120, 135, 32},
                      // 0.06 x 1000 is 60.0 in single precision: 180, not 179
                      ProjectCase{"square_view_near_corner", {0, 0, 0}, {1000, 1000, 1000}, 180, 75, 92},
                      ProjectCase{"square_view_far_corner", {0, 0, 0}, {-1000, -1000, -1000}, 60, 195, -28}),
    CaseName());

TEST_F(Projection, RefreshViewProjectsPiecesAndBoxAndInvalidates) {
    RecordingHost host;
    m_game.m_host = &host;
    RefreshView(m_game);
    EXPECT_EQ(host.invalidations, 1);
    // Box corner 0 and piece 0's outer corner region: the nearest corner.
    EXPECT_EQ(m_game.m_outerBox.sx[0], 150);
    EXPECT_EQ(m_game.m_outerBox.sy[0], 82);
    EXPECT_EQ(m_game.m_outerBox.sz[0], 116);
    EXPECT_EQ(m_game.m_pieces[0].sx[5], 120);  // vertex 5 of piece 0 is the centre
    EXPECT_EQ(m_game.m_pieces[0].sy[5], 135);
    EXPECT_EQ(m_game.m_pieces[0].sz[5], 32);
}

TEST_F(Projection, ScaleAndTranslate) {
    Matrix34 m{};
    for (int i = 0; i < 12; ++i) {
        m.m[i] = 1.0F;
    }
    ScaleMatrix(m, 2, 3, 4);
    TranslateMatrix(m, 10, 20, 30);
    const float expected[12] = {2, 2, 2, 12, 3, 3, 3, 23, 4, 4, 4, 34};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(m.m[i], expected[i]);
    }
}

TEST_F(Projection, BoxFacesFacingAtTheStartView) {
    // +Z, -Z, +Y, -Y, -X, +X: the three positive sides face the viewer.
    const bool away[6] = {false, true, false, true, true, false};
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(IsBoxFaceFacingAway(m_game.m_outerBox, f), away[f]) << "box face " << f;
    }
}

// d is exactly +-180 or 0 for these point triples.
TEST_F(Projection, FacingTestEdgeCases) {
    struct Case {
        int x[3];
        int y[3];
        bool away;
    };
    const Case cases[] = {
        {{0, 0, 0}, {0, 10, 0}, true},             // straight back: d = 180 faces away
        {{0, 0, 0}, {10, 0, 10}, false},           // d = -180 faces the viewer
        {{0, 10, 20}, {0, 0, 0}, true},            // on one line, same direction: d = 0
        {{0, 10, 10}, {0, 0, 10}, false},          // right, then down: clockwise on screen
        {{0, 10, 10}, {0, 0, -10}, true},          // right, then up: counter-clockwise
        {{60, 180, 180}, {195, 195, 195}, false},  // last two on one pixel: atan2(0, 0) = 0, d = -90
        {{5, 5, 9}, {5, 5, 5}, true},              // first two on one pixel: d = +90
    };
    for (const Case& c : cases) {
        Piece piece{};
        piece.faceCount = 1;
        piece.faceVertexCount[0] = 3;
        for (int k = 0; k < 3; ++k) {
            piece.faceVertex[0][k] = k;
            piece.sx[k] = c.x[k];
            piece.sy[k] = c.y[k];
        }
        EXPECT_EQ(IsFacingAway(piece, 0), c.away)
            << c.x[0] << "," << c.y[0] << " " << c.x[1] << "," << c.y[1] << " " << c.x[2] << "," << c.y[2];
    }
}

// The facing test as the device computes it, every time from the two angles.
bool FacingAwayByAnglesOnly(int dx1, int dy1, int dx2, int dy2) {
    const float deg1 = static_cast<float>(CrtAtan2(static_cast<double>(dx1), static_cast<double>(dy1))) * kRadToDeg;
    const float deg2 = static_cast<float>(CrtAtan2(static_cast<double>(dx2), static_cast<double>(dy2))) * kRadToDeg;
    float d = deg2 - deg1;
    if (d > 180.0F) {
        d -= 360.0F;
    }
    if (d < -180.0F) {
        d += 360.0F;
    }
    return d >= 0.0F;
}

TEST_F(Projection, CrossProductAgreesWithTheAnglesOnEverySmallPair) {
    // Every pair of edges up to 40 pixels each way: all the near-parallel pairs that pixel
    // coordinates on the screen give.
    constexpr int kR = 40;
    constexpr int kSide = 2 * kR + 1;
    std::vector<float> degrees;
    for (int x = -kR; x <= kR; ++x) {
        for (int y = -kR; y <= kR; ++y) {
            degrees.push_back(static_cast<float>(CrtAtan2(static_cast<double>(x), static_cast<double>(y))) * kRadToDeg);
        }
    }
    long differing = 0;
    for (int a = 0; a < kSide * kSide; ++a) {
        for (int b = 0; b < kSide * kSide; ++b) {
            float d = degrees[static_cast<std::size_t>(b)] - degrees[static_cast<std::size_t>(a)];
            if (d > 180.0F) {
                d -= 360.0F;
            }
            if (d < -180.0F) {
                d += 360.0F;
            }
            const bool expected = d >= 0.0F;
            if (FacingAwayFromEdges(a / kSide - kR, a % kSide - kR, b / kSide - kR, b % kSide - kR) != expected) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

// Long edges, and edges within a hair of parallel or opposite, where only the angles' rounding
// decides: the cross product must hand those to the angles.
struct EdgePairClass {
    const char* name;
    int bits;    // edge components up to 2^bits
    int jitter;  // the second edge is the first, scaled, give or take this much
    int scale;   // ... by +scale or -scale; 0: an edge of its own
};

class ProjectionFacingPairs : public ::testing::TestWithParam<EdgePairClass> {};

TEST_P(ProjectionFacingPairs, CrossProductAgreesWithTheAngles) {
    const EdgePairClass c = GetParam();
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    auto next = [&state](int bits) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto magnitude = static_cast<int>((state >> 33U) & ((1ULL << static_cast<unsigned>(bits)) - 1U));
        return (state >> 32U) % 2U == 0U ? magnitude : -magnitude;
    };
    long differing = 0;
    for (int i = 0; i < 200000; ++i) {
        const int x1 = next(c.bits);
        const int y1 = next(c.bits);
        int x2 = next(c.bits);
        int y2 = next(c.bits);
        if (c.scale != 0) {
            const int k = i % 2 == 0 ? c.scale : -c.scale;
            x2 = x1 * k + next(c.jitter);
            y2 = y1 * k + next(c.jitter);
        }
        if (FacingAwayFromEdges(x1, y1, x2, y2) != FacingAwayByAnglesOnly(x1, y1, x2, y2)) {
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Classes, ProjectionFacingPairs,
                         ::testing::Values(EdgePairClass{"screen_sized", 9, 0, 0}, EdgePairClass{"long", 24, 0, 0},
                                           EdgePairClass{"near_parallel", 12, 2, 1},
                                           EdgePairClass{"near_parallel_scaled", 10, 3, 7},
                                           EdgePairClass{"long_near_parallel", 20, 2, 1}),
                         CaseName());

TEST_F(Projection, EdgeOnBoxFaceCountsAsFrontAtZeroAngles) {
    m_game.m_viewAngleX = 0;
    m_game.m_viewAngleY = 0;
    m_game.m_viewAngleZ = 0;
    RefreshView(m_game);
    EXPECT_EQ(m_game.m_outerBox.sy[2], 195);
    EXPECT_EQ(m_game.m_outerBox.sy[3], 195);
    EXPECT_EQ(m_game.m_outerBox.sy[7], 195);
    EXPECT_FALSE(IsBoxFaceFacingAway(m_game.m_outerBox, 3));  // -Y, seen edge-on
}

TEST_F(Projection, MeanDepthIsAFloatAverage) {
    Piece piece{};
    piece.vertexCount = 3;
    piece.sz[0] = 1;
    piece.sz[1] = 2;
    piece.sz[2] = 2;
    EXPECT_FLOAT_EQ(MeanDepth(piece), 5.0F / 3.0F);
}

TEST_F(Projection, DrawOrderIsFarthestFirstWithTiesInSlotOrder) {
    BuildDrawOrder(m_game, m_game.m_drawOrder);
    // Slot 6 (-,-,-) is farthest and slot 0 (+,+,+) nearest at the start view.
    EXPECT_EQ(m_game.m_drawOrder[0], 6);
    EXPECT_EQ(m_game.m_drawOrder[7], 0);
    for (int i = 0; i < 7; ++i) {
        EXPECT_LE(MeanDepth(m_game.m_pieces[m_game.m_drawOrder[i]]),
                  MeanDepth(m_game.m_pieces[m_game.m_drawOrder[i + 1]]));
    }
    // Equal depths keep slot order.
    for (Piece& piece : m_game.m_pieces) {
        for (int& z : piece.sz) {
            z = 7;
        }
    }
    BuildDrawOrder(m_game, m_game.m_drawOrder);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m_game.m_drawOrder[i], i);
    }
}

TEST_F(Projection, TurningLayerRegroupsTheOrder) {
    struct Case {
        std::uint8_t layerFront;
        int layer[4];
    };
    // The rear group is painted first whatever its depth.
    const Case cases[] = {{1, {0, 1, 2, 3}}, {0, {0, 1, 2, 3}}, {1, {4, 5, 6, 7}}, {0, {0, 4, 7, 3}}};
    for (const Case& c : cases) {
        m_game = PuzzleGame(kTestSeed, nullptr);
        for (const int slot : c.layer) {
            m_game.m_inTurningLayer[slot] = 1;
        }
        m_game.m_turnAxis = Axis::Z;
        m_game.m_turnLayerFront = c.layerFront;
        BuildDrawOrder(m_game, m_game.m_drawOrder);
        const int firstGroup = c.layerFront == 1 ? 0 : 1;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(m_game.m_inTurningLayer[m_game.m_drawOrder[i]], firstGroup);
            EXPECT_NE(m_game.m_inTurningLayer[m_game.m_drawOrder[i + 4]], firstGroup);
        }
        // Each group keeps its depth order.
        for (int i = 0; i < 7; ++i) {
            if (i != 3) {
                EXPECT_LE(MeanDepth(m_game.m_pieces[m_game.m_drawOrder[i]]),
                          MeanDepth(m_game.m_pieces[m_game.m_drawOrder[i + 1]]));
            }
        }
    }
    // All eight flagged (a whole-cube step): plain depth order; and after the turn too.
    m_game = PuzzleGame(kTestSeed, nullptr);
    BuildDrawOrder(m_game, m_game.m_drawOrder);
    int plain[8];
    for (int i = 0; i < 8; ++i) {
        plain[i] = m_game.m_drawOrder[i];
        m_game.m_inTurningLayer[i] = 1;
    }
    m_game.m_turnAxis = Axis::Y;
    for (const std::uint8_t front : {std::uint8_t{0}, std::uint8_t{1}}) {
        m_game.m_turnLayerFront = front;
        BuildDrawOrder(m_game, m_game.m_drawOrder);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(m_game.m_drawOrder[i], plain[i]);
        }
    }
}

}  // namespace
