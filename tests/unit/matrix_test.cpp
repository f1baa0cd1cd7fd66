#include <gtest/gtest.h>

#include <cmath>

#include "model/matrix34.h"
#include "tests/support/case_name.h"

namespace {

Matrix34 Identity() {
    Matrix34 m{};
    m.SetIdentity();
    return m;
}

TEST(Matrix34, IdentityClearsEverythingElseIncludingTranslation) {
    Matrix34 m{};
    for (float& v : m.m) {
        v = 7.5F;
    }
    m.SetIdentity();
    const float expected[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(m.m[i], expected[i]) << "entry " << i;
    }
}

// The degree factor is not exactly pi/180, so quarter turns leave tiny entries.
struct QuarterCase {
    const char* name;
    double angle;
    float cosine;
    float sine;
};

class Matrix34Quarters : public ::testing::TestWithParam<QuarterCase> {};

TEST_P(Matrix34Quarters, LeavesTheTinyEntries) {
    const QuarterCase c = GetParam();
    Matrix34 m = Identity();
    m.RotateX(c.angle);
    EXPECT_FLOAT_EQ(m.m[5], c.cosine);
    EXPECT_FLOAT_EQ(m.m[10], c.cosine);
    EXPECT_FLOAT_EQ(m.m[6], c.sine);
    EXPECT_FLOAT_EQ(m.m[9], -c.sine);
    EXPECT_EQ(m.m[0], 1.0F);
}

INSTANTIATE_TEST_SUITE_P(Quarters, Matrix34Quarters,
                         ::testing::Values(QuarterCase{"by_90", 90, 3.9663289e-13F, 1.0F},
                                           QuarterCase{"by_180", 180, -1.0F, 7.9326579e-13F},
                                           QuarterCase{"by_270", 270, -1.1894546e-12F, -1.0F}),
                         CaseName());

TEST(Matrix34, NinetyDegreesIsNotExactlyZero) {
    Matrix34 m = Identity();
    m.RotateX(90);
    EXPECT_NE(m.m[5], 0.0F);
    EXPECT_EQ(m.m[6], 1.0F);  // the sine rounds to exactly 1
}

// Where a unit vector goes: RotateX turns by +a about X, RotateY and RotateZ by -a.
struct DirectionCase {
    char axis;
    float in[3];
    float out[3];
};

TEST(Matrix34, RotationDirections) {
    const DirectionCase cases[] = {
        {'x', {0, 1, 0}, {0, 0, 1}},
        {'y', {1, 0, 0}, {0, 0, 1}},
        {'z', {1, 0, 0}, {0, -1, 0}},
    };
    for (const DirectionCase& c : cases) {
        Matrix34 m = Identity();
        if (c.axis == 'x') {
            m.RotateX(90);
        } else if (c.axis == 'y') {
            m.RotateY(90);
        } else {
            m.RotateZ(90);
        }
        EXPECT_NEAR(m.TransformX(c.in[0], c.in[1], c.in[2]), c.out[0], 1e-6) << c.axis;
        EXPECT_NEAR(m.TransformY(c.in[0], c.in[1], c.in[2]), c.out[1], 1e-6) << c.axis;
        EXPECT_NEAR(m.TransformZ(c.in[0], c.in[1], c.in[2]), c.out[2], 1e-6) << c.axis;
    }
}

TEST(Matrix34, ZeroRotationChangesNothingAndTranslationIsMixed) {
    Matrix34 m{};
    for (int i = 0; i < 12; ++i) {
        m.m[i] = 0.1F * static_cast<float>(i + 1);
    }
    const Matrix34 before = m;
    m.RotateX(0);
    m.RotateY(0);
    m.RotateZ(0);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(m.m[i], before.m[i]);
    }
    Matrix34 t = Identity();
    t.m[3] = 10.0F;  // translation in row 0
    t.RotateZ(90);   // mixes rows 0 and 1, the translation column too
    EXPECT_NEAR(t.m[3], 0.0F, 1e-9);
    EXPECT_EQ(t.m[7], 10.0F);
}

TEST(Matrix34, TransformAddsTranslation) {
    Matrix34 m = Identity();
    m.m[3] = 120.0F;
    m.m[7] = 135.0F;
    m.m[11] = 32.0F;
    EXPECT_EQ(m.TransformX(1, 2, 3), 121.0F);
    EXPECT_EQ(m.TransformY(1, 2, 3), 137.0F);
    EXPECT_EQ(m.TransformZ(1, 2, 3), 35.0F);
}

// Every quarter turn about every axis maps model coordinates onto whole numbers,
// or onto values so small that truncation makes them 0.
TEST(Matrix34, QuarterTurnsOfModelCoordinatesStayWhole) {
    const float values[] = {0, 414, -414, 500, -500, 1000, -1000};
    for (int axis = 0; axis < 3; ++axis) {
        for (int q = 0; q <= 4; ++q) {
            for (const double sign : {1.0, -1.0}) {
                Matrix34 m = Identity();
                const double angle = sign * 90.0 * q;
                if (axis == 0) {
                    m.RotateX(angle);
                } else if (axis == 1) {
                    m.RotateY(angle);
                } else {
                    m.RotateZ(angle);
                }
                for (const float x : values) {
                    for (const float y : values) {
                        for (const float z : values) {
                            for (const float r :
                                 {m.TransformX(x, y, z), m.TransformY(x, y, z), m.TransformZ(x, y, z)}) {
                                const float whole = std::round(r);
                                if (whole == 0.0F) {
                                    EXPECT_LE(std::fabs(r), 1.6e-9F);
                                } else {
                                    EXPECT_EQ(r, whole) << axis << " " << angle << " " << x << "," << y << "," << z;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
