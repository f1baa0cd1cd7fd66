// The core's cos, sin, atan and atan2: correctly rounded, with C's answers at the edges.
#include "platform/crt_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <random>

namespace {

enum class Fn { Cos, Sin, Atan, Atan2 };

double Call(Fn fn, double a, double b) {
    switch (fn) {
        case Fn::Cos:
            return CrtCos(a);
        case Fn::Sin:
            return CrtSin(a);
        case Fn::Atan:
            return CrtAtan(a);
        case Fn::Atan2:
            break;
    }
    return CrtAtan2(a, b);
}

// Same bits: tells -0 from +0, and any NaN equals any NaN.
bool SameBits(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

struct Case {
    Fn fn;
    double a;
    double b;
    double want;
};

// Each case, and for sin and cos the same through CrtSinCos (both results asked for, and one).
template <std::size_t N>
void ExpectCases(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        EXPECT_TRUE(SameBits(Call(c.fn, c.a, c.b), c.want))
            << std::hexfloat << static_cast<int>(c.fn) << " " << c.a << " " << c.b << " gave " << Call(c.fn, c.a, c.b);
        if (c.fn != Fn::Sin && c.fn != Fn::Cos) {
            continue;
        }
        double both[2] = {0.0, 0.0};
        double one = 0.0;
        CrtSinCos(c.a, &both[0], &both[1]);
        CrtSinCos(c.a, c.fn == Fn::Sin ? &one : nullptr, c.fn == Fn::Cos ? &one : nullptr);
        EXPECT_TRUE(SameBits(both[c.fn == Fn::Sin ? 0 : 1], c.want)) << std::hexfloat << c.a;
        EXPECT_TRUE(SameBits(one, c.want)) << std::hexfloat << c.a;
    }
}

// The nearest doubles to the true values, worked out to 80 digits. On each of these inputs
// glibc 2.36 answers one ulp off (the facing test's pixel steps, a fold's quotient, rotation
// angles), which is why the core carries its own functions.
TEST(CrtMath, CorrectlyRoundedWhereALibraryIsNot) {
    const Case cases[] = {
        {Fn::Atan2, -0x1.2cp+8, -0x1.84p+8, -0x1.3de066ed1c05fp+1},
        {Fn::Atan2, 0x1.ce00000000000p+7, -0x1.5cp+8, 0x1.471d50466010cp+1},
        {Fn::Atan2, 0x1.32p+7, -0x1.4p+7, 0x1.30747d55731b0p+1},
        {Fn::Atan, 0x1.55dc88p-3, 0, 0x1.52bd02196579ep-3},
        {Fn::Atan, 0x1.eeccaep-4, 0, 0x1.ec69de5df25f7p-4},
        {Fn::Atan, 0x1.69c762p-3, 0, 0x1.6615ab06daef7p-3},
        {Fn::Sin, 0x1.849656e23def8p+1, 0, 0x1.b05d35d10291fp-4},
        {Fn::Sin, 0x1.acb3383bd9820p-4, 0, 0x1.abeaf5fa8bf2dp-4},
        {Fn::Sin, 0x1.8f24ad223e746p-5, 0, 0x1.8efc407c0d31cp-5},
        {Fn::Cos, 0x1.1eca6695bfc76p+2, 0, -0x1.d575f6ebe7a37p-3},
        {Fn::Cos, 0x1.baa8272a3b670p-2, 0, 0x1.d0e6f4a7ae5d5p-1},
        {Fn::Cos, 0x1.0a73b672488e7p+1, 0, -0x1.f4a96e511b9cfp-2},
    };
    ExpectCases(cases);
}

TEST(CrtMath, EdgesAsTheCLibraryGivesThem) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pi = 0x1.921fb54442d18p+1;
    const double halfPi = 0x1.921fb54442d18p+0;
    const Case cases[] = {
        {Fn::Atan2, 0.0, 0.0, 0.0},
        {Fn::Atan2, -0.0, 0.0, -0.0},
        {Fn::Atan2, 0.0, -0.0, pi},
        {Fn::Atan2, -0.0, -1.0, -pi},
        {Fn::Atan2, 1.0, 0.0, halfPi},
        {Fn::Atan2, -5.0, -0.0, -halfPi},
        {Fn::Atan2, 1.0, inf, 0.0},
        {Fn::Atan2, -1.0, -inf, -pi},
        {Fn::Atan2, inf, inf, 0x1.921fb54442d18p-1},
        {Fn::Atan2, inf, -inf, 0x1.2d97c7f3321d2p+1},
        {Fn::Atan2, -inf, 3.0, -halfPi},
        {Fn::Atan2, nan, 1.0, nan},
        {Fn::Atan2, 1.0, nan, nan},
        {Fn::Atan2, 1.0, 1.0, 0x1.921fb54442d18p-1},
        {Fn::Atan2, 65535.0, -1.0, 0x1.9220b54542d23p+0},
        {Fn::Atan2, 0x1p-1074, 0x1p1023, 0.0},
        {Fn::Atan2, 0x1p1023, 0x1p1022, 0x1.1b6e192ebbe44p+0},
        {Fn::Atan2, 0x1p-1070, 0x1p-1072, 0x1.5368c951e9cfdp+0},
        {Fn::Atan, 0.0, 0, 0.0},
        {Fn::Atan, -0.0, 0, -0.0},
        {Fn::Atan, inf, 0, halfPi},
        {Fn::Atan, -inf, 0, -halfPi},
        {Fn::Atan, 1e300, 0, halfPi},
        {Fn::Atan, -1.0, 0, -0x1.921fb54442d18p-1},
        {Fn::Atan, 0x1p-1074, 0, 0x1p-1074},
        {Fn::Atan, nan, 0, nan},
        {Fn::Sin, 0.0, 0, 0.0},
        {Fn::Sin, -0.0, 0, -0.0},
        {Fn::Cos, -0.0, 0, 1.0},
        {Fn::Sin, inf, 0, nan},
        {Fn::Cos, -inf, 0, nan},
        {Fn::Cos, nan, 0, nan},
        {Fn::Sin, 0x1p-1074, 0, 0x1p-1074},
        // Angles the rotations see: quarter turns in radians, and one past the reduction's edge.
        {Fn::Cos, 90.0 * 0.01745329251993889, 0, 0x1.be91a62633146p-42},
        {Fn::Sin, 180.0 * 0.01745329251993889, 0, 0x1.be91a62633146p-41},
        {Fn::Cos, -270.0 * 0.01745329251993889, 0, -0x1.4ecd3c9ca64f4p-40},
        {Fn::Sin, 0x1.921fb54442d19p-1, 0, 0x1.6a09e667f3bcdp-1},
    };
    ExpectCases(cases);
}

// sin and cos first try a quick evaluation and keep it only when every value within its error
// bound rounds alike. Results within 2^-64 of a halfway point between two doubles (found with
// 300-bit arithmetic) must go on to the accurate path; the edges of the quick range, the
// table's steps and angles within 2^-30 of a quarter turn must give the same bits either way.
TEST(CrtMath, SinAndCosNearHalfwayPointsAndAtTheQuickEdges) {
    const Case cases[] = {
        {Fn::Sin, -0x1.27e8ab3b97344p+1, 0, -0x1.79c0dc1e33a8ap-1},
        {Fn::Sin, 0x1.b6c34ee54522bp+1, 0, -0x1.21204d5b1858bp-2},
        {Fn::Sin, 0x1.f520e40a08129p+2, 0, 0x1.ffdab9e1e5c39p-1},
        {Fn::Sin, 0x1.22eace0cf9bd3p+2, 0, -0x1.f8e4b302e7495p-1},
        {Fn::Sin, 0x1.653206f9dee60p+5, 0, 0x1.3ccab520acf29p-1},
        {Fn::Sin, 0x1.a0cc182646d0cp+8, 0, 0x1.b823b9f811633p-1},
        {Fn::Cos, 0x1.b5b7b4a0c7e7cp+2, 0, 0x1.b2d67f617c88cp-1},
        {Fn::Cos, 0x1.a46e066793e84p+8, 0, 0x1.b63034e612018p-1},
        {Fn::Cos, 0x1.525772d94d9acp+1, 0, -0x1.c1bd3a96b1985p-1},
        {Fn::Cos, 0x1.227b29e59fc28p+8, 0, 0x1.daef710e471d5p-4},
        {Fn::Cos, -0x1.eaac55e5f5a13p+8, 0, 0x1.aaefb8efd82b8p-1},
        {Fn::Cos, -0x1.d9fc711f88f00p+8, 0, -0x1.d8b1c59411907p-1},
        {Fn::Sin, 0x1.fffffffffffffp+18, 0, 0x1.57481ec7171cap-3},
        {Fn::Cos, 0x1.fffffffffffffp+18, 0, 0x1.f8c1986cbbf43p-1},
        {Fn::Sin, 0x1p+19, 0, 0x1.57481ec90fde3p-3},
        {Fn::Cos, 0x1p+19, 0, 0x1.f8c1986ca67fap-1},
        {Fn::Sin, 0x1p-26, 0, 0x1p-26},
        {Fn::Cos, 0x1p-26, 0, 0x1.fffffffffffffp-1},
        {Fn::Sin, 0x1.fffffffffffffp-27, 0, 0x1.fffffffffffffp-27},
        {Fn::Cos, 0x1.fffffffffffffp-27, 0, 0x1.fffffffffffffp-1},
        {Fn::Sin, 0x1p-7, 0, 0x1.fffeaaaaeeeefp-8},
        {Fn::Sin, 0x1.fffffffffffffp-8, 0, 0x1.fffeaaaaeeeeep-8},
        {Fn::Cos, 0x1p-7, 0, 0x1.fffc000155552p-1},
        {Fn::Sin, 0x1.921fb54442d18p-1, 0, 0x1.6a09e667f3bccp-1},
        {Fn::Cos, 0x1.921fb54442d18p-1, 0, 0x1.6a09e667f3bcdp-1},
        {Fn::Cos, 0x1.921fb54442d19p-1, 0, 0x1.6a09e667f3bccp-1},
        {Fn::Sin, 355.0, 0, -0x1.f9bd0307d1de3p-16},
        {Fn::Cos, 355.0, 0, -0x1.fffffffc18e4cp-1},
        {Fn::Sin, 0x1.2d97c7f3321d2p+2, 0, -1.0},
        {Fn::Cos, 0x1.2d97c7f3321d2p+2, 0, -0x1.a79394c9e8a0ap-53},
        {Fn::Sin, 0x1.32cbd0fba43a7p+17, 0, -0x1.2ab89826c3c3bp-36},
        {Fn::Cos, 0x1.32cbd0fba43a7p+17, 0, 1.0},
    };
    ExpectCases(cases);
}

// Odd and even as the functions are, and in step with each other around the circle.
TEST(CrtMath, SymmetriesHoldExactly) {
    for (int i = -720; i <= 720; i += 7) {
        const double a = i * 0.01745329251993889 + 1e-3 * i;
        EXPECT_EQ(CrtSin(-a), -CrtSin(a)) << a;
        EXPECT_EQ(CrtCos(-a), CrtCos(a)) << a;
        EXPECT_EQ(CrtAtan(-a), -CrtAtan(a)) << a;
        EXPECT_EQ(CrtAtan2(-a, 3.0), -CrtAtan2(a, 3.0)) << a;
        EXPECT_EQ(CrtAtan2(a, 1.0), CrtAtan(a)) << a;  // the quotient is exact
        const double s = CrtSin(a);
        const double c = CrtCos(a);
        double both[2] = {0.0, 0.0};
        CrtSinCos(a, &both[0], &both[1]);
        EXPECT_EQ(both[0], s) << a;
        EXPECT_EQ(both[1], c) << a;
        EXPECT_NEAR(s * s + c * c, 1.0, 4e-16) << a;
    }
}

// A sweep over random angles against the 64-bit-mantissa library, where glibc has one: its
// value, a few of its ulps either side, rounds to one double except within about 2^-61 of a
// halfway point, and then that double is the correctly rounded result.
#if defined(__GLIBC__) && (defined(__x86_64__) || defined(__i386__))
TEST(CrtMath, SinAndCosAgreeWithALongDoubleLibraryOverRandomAngles) {
    static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended precision");
    std::mt19937_64 rng(20261209);
    std::uniform_int_distribution<int> exponent(-30, 19);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        const double a = std::ldexp(mantissa(rng), exponent(rng));
        const long double exact[2] = {sinl(static_cast<long double>(a)), cosl(static_cast<long double>(a))};
        double both[2] = {0.0, 0.0};
        CrtSinCos(a, &both[0], &both[1]);
        const double single[2] = {CrtSin(a), CrtCos(a)};
        for (int f = 0; f < 2; ++f) {
            const long double slack = std::fabs(exact[f]) * 0x1p-61L;
            const double want = static_cast<double>(exact[f]);
            if (static_cast<double>(exact[f] - slack) != want || static_cast<double>(exact[f] + slack) != want) {
                continue;  // too near a halfway point for this reference to decide
            }
            ++checked;
            ASSERT_TRUE(SameBits(both[f], want)) << std::hexfloat << (f == 0 ? "sin " : "cos ") << a;
            ASSERT_TRUE(SameBits(single[f], want)) << std::hexfloat << (f == 0 ? "sin " : "cos ") << a;
        }
    }
    EXPECT_GT(checked, 390000);
}
#endif

}  // namespace
