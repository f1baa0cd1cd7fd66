// SoftCanvas against GDI's pixel rules written out the plainest way: every row's crossings
// worked out and sorted, every line walked pixel by pixel from end to end. The canvas takes
// shortcuts (the usual polygon as two sides, outlines walked either way, rows stored in blocks);
// thousands of random shapes in each class must come out the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/soft_canvas.h"
#include "tests/support/case_name.h"

namespace {

constexpr int kW = SoftCanvas::kWidth;
constexpr int kH = SoftCanvas::kHeight;
constexpr Colour kPaper = 0x808080;

using I64 = std::int64_t;

I64 FloorDiv(I64 a, I64 b) {
    const I64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The rules, straight: no clipping tricks, no fixed point, no blocks.
class ReferenceCanvas final : public Canvas {
public:
    ReferenceCanvas() : m_pixels(static_cast<std::size_t>(kW * kH), kPaper) {}

    void SelectBrush(Colour colour) override { m_brush = colour; }

    void Rectangle(int left, int top, int right, int bottom) override {
        const I64 l = std::min(left, right);
        const I64 r = std::max(left, right);
        const I64 t = std::min(top, bottom);
        const I64 b = std::max(top, bottom);
        for (I64 y = std::max<I64>(t, 0); y < std::min<I64>(b, kH); ++y) {
            for (I64 x = std::max<I64>(l, 0); x < std::min<I64>(r, kW); ++x) {
                const bool border = x == l || x == r - 1 || y == t || y == b - 1;
                Put(x, y, border ? 0 : m_brush);
            }
        }
    }

    void Polygon(const Point* points, int count) override {
        if (count < 2) {
            return;
        }
        for (I64 y = 0; y < kH; ++y) {
            std::vector<I64> xs;
            for (int i = 0; i < count; ++i) {
                const Point& a = points[i];
                const Point& c = points[(i + 1) % count];
                if (a.y == c.y) {
                    continue;
                }
                const Point& top = a.y < c.y ? a : c;
                const Point& bottom = a.y < c.y ? c : a;
                if (y < top.y || y >= bottom.y) {
                    continue;
                }
                const I64 dx = static_cast<I64>(bottom.x) - top.x;
                const I64 dy = static_cast<I64>(bottom.y) - top.y;
                const I64 x = top.x - FloorDiv(-(y - top.y) * dx, dy);  // top.x + ceil(k dx / dy)
                xs.push_back(std::clamp<I64>(x, 0, kW));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                for (I64 x = xs[i]; x < xs[i + 1]; ++x) {
                    Put(x, y, m_brush);
                }
            }
        }
        for (int i = 0; i < count; ++i) {
            Line(points[i], points[(i + 1) % count]);
        }
    }

    [[nodiscard]] Colour PixelAt(int x, int y) const { return m_pixels[static_cast<std::size_t>(y * kW + x)]; }

private:
    void Put(I64 x, I64 y, Colour c) {
        if (x >= 0 && x < kW && y >= 0 && y < kH) {
            m_pixels[static_cast<std::size_t>(y * kW + x)] = c;
        }
    }

    // The biased Bresenham walk, start pixel in, end pixel out.
    void Line(Point a, Point b) {
        const I64 dx = static_cast<I64>(b.x) - a.x;
        const I64 dy = static_cast<I64>(b.y) - a.y;
        const I64 adx = std::abs(dx);
        const I64 ady = std::abs(dy);
        const bool xMajor = adx > ady;
        // Octants 3, 5, 6 and 8 (clockwise from +x, y down) round the other way.
        const bool biased = xMajor ? dy < 0 || (dy == 0 && dx < 0) : dx < 0 || (dx == 0 && dy < 0);
        const I64 major = xMajor ? adx : ady;
        const I64 minor = xMajor ? ady : adx;
        I64 err = 2 * minor - major + (biased ? 1 : 0);
        I64 x = a.x;
        I64 y = a.y;
        for (I64 i = 0; i < major; ++i) {
            Put(x, y, 0);
            const bool minorStep = err > 0;
            err += 2 * minor - (minorStep ? 2 * major : 0);
            if (xMajor) {
                x += dx > 0 ? 1 : -1;
                y += minorStep ? (dy > 0 ? 1 : -1) : 0;
            } else {
                y += dy > 0 ? 1 : -1;
                x += minorStep ? (dx > 0 ? 1 : -1) : 0;
            }
        }
    }

    std::vector<Colour> m_pixels;
    Colour m_brush = 0xFFFFFF;
};

int Differing(const SoftCanvas& canvas, const ReferenceCanvas& reference) {
    int differing = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            differing += canvas.PixelAt(x, y) != reference.PixelAt(x, y) ? 1 : 0;
        }
    }
    return differing;
}

// Both canvases given the same polygon on paper; the pixels that differ.
int PaintBoth(const std::vector<Point>& points, Colour brush) {
    auto canvas = std::make_unique<SoftCanvas>();
    auto reference = std::make_unique<ReferenceCanvas>();
    canvas->Clear(kPaper);
    for (Canvas* target : {static_cast<Canvas*>(canvas.get()), static_cast<Canvas*>(reference.get())}) {
        target->SelectBrush(brush);
        target->Polygon(points.data(), static_cast<int>(points.size()));
    }
    return Differing(*canvas, *reference);
}

struct ShapeClass {
    const char* name;
    bool rectangle;  // between the first two points
    int shapes;
    int minPoints;
    int maxPoints;
    int reach;            // points up to this far outside the bitmap
    int size;             // and within this of a random centre; 0: anywhere
    bool convex = false;  // points in turn round the centre, as the game's faces are
};

class PixelRules : public ::testing::TestWithParam<ShapeClass> {};

TEST_P(PixelRules, SoftCanvasPaintsTheRules) {
    const ShapeClass c = GetParam();
    std::mt19937 random(20260101);
    auto in = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto canvas = std::make_unique<SoftCanvas>();
    int differing = 0;
    for (int shape = 0; shape < c.shapes && differing == 0; ++shape) {
        const Colour brush = static_cast<Colour>(in(1, 0xFFFFFE));
        const Point centre{in(-c.reach, kW - 1 + c.reach), in(-c.reach, kH - 1 + c.reach)};
        std::vector<Point> points;
        std::vector<double> turns;
        for (int k = 0, n = in(c.minPoints, c.maxPoints); k < n && c.convex; ++k) {
            turns.push_back(std::uniform_real_distribution<double>(0.0, 6.283185307179586)(random));
        }
        std::sort(turns.begin(), turns.end());
        const int radius = in(1, std::max(1, c.size));
        points.reserve(turns.size());
        for (const double turn : turns) {
            points.push_back(
                Point{std::clamp(centre.x + static_cast<int>(std::lround(radius * std::cos(turn))), 0, kW - 1),
                      std::clamp(centre.y + static_cast<int>(std::lround(radius * std::sin(turn))), 0, kH - 1)});
        }
        for (int k = 0, n = c.convex ? 0 : in(c.minPoints, c.maxPoints); k < n; ++k) {
            if (c.size == 0) {
                points.push_back(Point{in(-c.reach, kW - 1 + c.reach), in(-c.reach, kH - 1 + c.reach)});
            } else {
                points.push_back(Point{centre.x + in(-c.size, c.size), centre.y + in(-c.size, c.size)});
            }
        }
        auto reference = std::make_unique<ReferenceCanvas>();
        canvas->Clear(kPaper);
        for (Canvas* target : {static_cast<Canvas*>(canvas.get()), static_cast<Canvas*>(reference.get())}) {
            target->SelectBrush(brush);
            if (c.rectangle) {
                target->Rectangle(points[0].x, points[0].y, points[1].x, points[1].y);
            } else {
                target->Polygon(points.data(), static_cast<int>(points.size()));
            }
        }
        differing += Differing(*canvas, *reference);
        EXPECT_EQ(differing, 0) << "shape " << shape << ", first point " << points[0].x << "," << points[0].y;
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, PixelRules,
                         ::testing::Values(ShapeClass{"small_inside", false, 3000, 2, 6, 0, 8},
                                           ShapeClass{"faces_inside", false, 2000, 3, 5, 0, 40},
                                           ShapeClass{"large_inside", false, 600, 3, 8, 0, 0},
                                           ShapeClass{"partly_outside", false, 600, 3, 8, 60, 0},
                                           ShapeClass{"far_outside", false, 300, 2, 6, 2000, 0},
                                           ShapeClass{"many_points", false, 100, 33, 48, 20, 0},
                                           ShapeClass{"rectangles", true, 1000, 2, 2, 20, 0},
                                           ShapeClass{"convex_inside", false, 3000, 3, 8, 0, 130, true},
                                           ShapeClass{"segments_inside", false, 3000, 2, 2, 0, 0}),
                         CaseName());

// Rows whose run ends on the pen's pixels, every run length from none to past two row blocks:
// trapezoids with steep sides (the pen pixel of each side stored with the row) of every width.
TEST(PixelRuns, EveryRunLengthBetweenSteepSides) {
    struct Sides {
        int left;  // how far each side moves across over the 9 rows
        int right;
    };
    for (const Sides sides : {Sides{0, 0}, Sides{-5, 5}, Sides{5, -5}, Sides{-9, 2}, Sides{3, 9}, Sides{9, -9}}) {
        for (int width = 0; width <= 60; ++width) {
            const std::vector<Point> points{
                {20, 10}, {20 + width, 10}, {20 + width + sides.right, 19}, {20 + sides.left, 19}};
            EXPECT_EQ(PaintBoth(points, 0x3377BB), 0)
                << "width " << width << ", sides " << sides.left << " " << sides.right;
        }
    }
}

}  // namespace
