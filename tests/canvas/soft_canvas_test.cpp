// SoftCanvas by hand: pixels worked out on paper from GDI's rules, and the invariants
// that the Wine comparison relies on (clipping and point count never move a pixel).
#include "platform/soft_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr Colour kPaper = 0xC0C0C0;
constexpr Colour kInk = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr int kW = SoftCanvas::kWidth;
constexpr int kH = SoftCanvas::kHeight;

std::unique_ptr<SoftCanvas> FreshCanvas(Colour brush = kRed) {
    auto canvas = std::make_unique<SoftCanvas>();
    canvas->Clear(kPaper);
    canvas->SelectBrush(brush);
    return canvas;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const SoftCanvas& canvas, Colour colour) {
    PixelSet set;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            if (canvas.PixelAt(x, y) == colour) {
                set.insert({x, y});
            }
        }
    }
    return set;
}

TEST(SoftCanvas, NewCanvasIsBlackAndClearFillsEverything) {
    auto canvas = std::make_unique<SoftCanvas>();
    EXPECT_EQ(canvas->PixelAt(0, 0), kInk);
    EXPECT_EQ(canvas->PixelAt(kW - 1, kH - 1), kInk);
    canvas->Clear(0x123456);
    EXPECT_EQ(PixelsOf(*canvas, 0x123456).size(), static_cast<std::size_t>(kW * kH));
    // Rgb() is red, green, blue; the colour is 0x00BBGGRR.
    EXPECT_EQ(canvas->Rgb()[0], 0x56);
    EXPECT_EQ(canvas->Rgb()[1], 0x34);
    EXPECT_EQ(canvas->Rgb()[2], 0x12);
    EXPECT_EQ(canvas->PixelAt(-1, 0), 0xFFFFFFFFU);
    EXPECT_EQ(canvas->PixelAt(0, kH), 0xFFFFFFFFU);
}

struct RectCase {
    const char* name;
    int left, top, right, bottom;
    // Expected outline and interior, in bitmap pixels.
    int outlineLeft, outlineTop, outlineRight, outlineBottom;  // inclusive; right < left means none
    bool hasInterior;
};

TEST(SoftCanvas, RectangleOutlinesTheInclusiveBorderAndFillsInside) {
    const RectCase cases[] = {
        {"plain", 2, 3, 7, 8, 2, 3, 6, 7, true},
        {"corners given backwards", 7, 8, 2, 3, 2, 3, 6, 7, true},
        {"two wide: no inside", 5, 5, 7, 10, 5, 5, 6, 9, false},
        {"one wide: a column", 5, 5, 6, 10, 5, 5, 5, 9, false},
        {"one high: a row", 5, 5, 10, 6, 5, 5, 9, 5, false},
        {"empty width", 5, 5, 5, 10, 0, 0, -1, -1, false},
        {"empty height", 5, 5, 10, 5, 0, 0, -1, -1, false},
    };
    for (const RectCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto canvas = FreshCanvas();
        canvas->Rectangle(c.left, c.top, c.right, c.bottom);
        PixelSet outline;
        PixelSet inside;
        for (int y = c.outlineTop; y <= c.outlineBottom; ++y) {
            for (int x = c.outlineLeft; x <= c.outlineRight; ++x) {
                const bool border =
                    x == c.outlineLeft || x == c.outlineRight || y == c.outlineTop || y == c.outlineBottom;
                (border ? outline : inside).insert({x, y});
            }
        }
        EXPECT_EQ(PixelsOf(*canvas, kInk), outline);
        EXPECT_EQ(PixelsOf(*canvas, kRed), inside);
        EXPECT_EQ(c.hasInterior, !inside.empty());
    }
}

TEST(SoftCanvas, BackgroundRectangleLeavesOnlyTopRowAndLeftColumnBlack) {
    auto canvas = FreshCanvas(0x800000);
    canvas->Rectangle(0, 0, kW + 1, kH + 1);
    const PixelSet ink = PixelsOf(*canvas, kInk);
    EXPECT_EQ(ink.size(), static_cast<std::size_t>(kW + kH - 1));
    for (const auto& [x, y] : ink) {
        EXPECT_TRUE(x == 0 || y == 0) << x << "," << y;
    }
    EXPECT_EQ(canvas->PixelAt(kW - 1, kH - 1), 0x800000U);
    EXPECT_EQ(canvas->PixelAt(1, 1), 0x800000U);
}

// The pixels Rectangle should paint, by its rule: the inclusive border in ink, strictly
// inside in the brush, everything else untouched; rows outside [rowFirst, rowEnd) unchecked.
int CountWrongRectanglePixels(const SoftCanvas& canvas, int left, int top, int right, int bottom, Colour brush,
                              int rowFirst, int rowEnd) {
    int wrong = 0;
    for (int y = std::max(rowFirst, 0); y < std::min(rowEnd, kH); ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool within = x >= left && x < right && y >= top && y < bottom;
            const bool border = x == left || x == right - 1 || y == top || y == bottom - 1;
            const Colour expected = !within ? kPaper : (border ? kInk : brush);
            wrong += canvas.PixelAt(x, y) != expected ? 1 : 0;
        }
    }
    return wrong;
}

TEST(SoftCanvas, RowsOfEveryLengthAndPlaceFillExactlyTheirPixels) {
    // A brush whose three bytes differ shows a run stored a byte out of step; every width
    // at sixteen places covers every length and alignment of the stores.
    constexpr Colour kBrush = 0x123456;
    auto canvas = FreshCanvas(kBrush);
    for (int width = 0; width <= kW - 2; ++width) {
        for (int left = 0; left < 16 && left + width + 2 <= kW; ++left) {
            canvas->Clear(kPaper);
            canvas->Rectangle(left, 10, left + width + 2, 13);
            ASSERT_EQ(CountWrongRectanglePixels(*canvas, left, 10, left + width + 2, 13, kBrush, 9, 14), 0)
                << "width " << width << " at " << left;
        }
    }
}

TEST(SoftCanvas, RectanglesAsWideAsTheBitmapPaintTheirRule) {
    // Whole rows are painted as one run; rectangles over the whole bitmap as a background,
    // with their outline only where it falls on the bitmap's first or last row or column.
    constexpr Colour kBrush = 0x123456;
    const int cases[][4] = {
        {0, 0, kW + 1, kH + 1},
        {0, 5, kW + 1, 100},
        {0, -5, kW + 300, kH + 300},
        {0, kH - 2, kW + 1, kH + 1},
        {0, kH - 3, kW + 1, kH},
        {0, 0, kW + 1, 3},
        {0, 0, kW + 1, 2},
        {-1, 5, kW + 1, 100},
        {1, 5, kW + 1, 100},
        {0, 5, kW, 100},
        {0, 5, kW - 1, 100},
        {-1, -1, kW + 1, kH + 1},
        {0, -100, kW + 1, -1},
        {0, kH, kW + 1, kH + 9},
        {0, 0, kW, kH},
        {-3, -1, kW, kH + 2},
        {-3, 0, kW + 2, kH},
    };
    auto canvas = FreshCanvas(kBrush);
    for (const auto& c : cases) {
        canvas->Clear(kPaper);
        canvas->Rectangle(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(CountWrongRectanglePixels(*canvas, c[0], c[1], c[2], c[3], kBrush, 0, kH), 0)
            << c[0] << "," << c[1] << "," << c[2] << "," << c[3];
    }
}

TEST(SoftCanvas, PolygonOutlineCoversEveryVertexUnlikeRectangle) {
    // The same corners as Rectangle(10, 10, 13, 14), but a polygon's outline runs through
    // the points themselves: columns 10 and 13, rows 10 and 14.
    auto canvas = FreshCanvas();
    const Point square[] = {{10, 10}, {13, 10}, {13, 14}, {10, 14}};
    canvas->Polygon(square, 4);
    PixelSet outline;
    PixelSet inside;
    for (int y = 10; y <= 14; ++y) {
        for (int x = 10; x <= 13; ++x) {
            ((x == 10 || x == 13 || y == 10 || y == 14) ? outline : inside).insert({x, y});
        }
    }
    EXPECT_EQ(PixelsOf(*canvas, kInk), outline);
    EXPECT_EQ(PixelsOf(*canvas, kRed), inside);
}

struct LineCase {
    const char* name;
    Point a, b;
    PixelSet pixels;
};

TEST(SoftCanvas, TwoPointPolygonDrawsTheSegmentBothWays) {
    // Each direction leaves out its own last pixel; the bias of the reverse walk makes
    // both directions pick the same pixels, ties included.
    const LineCase cases[] = {
        {"shallow", {0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {"shallow with ties", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {"shallow reversed", {5, 2}, {0, 0}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {"steep", {3, 3}, {4, 6}, {{3, 3}, {3, 4}, {4, 5}, {4, 6}}},
        {"diagonal", {1, 4}, {4, 1}, {{1, 4}, {2, 3}, {3, 2}, {4, 1}}},
        {"vertical, one pixel wide", {10, 10}, {10, 20}, {}},
        {"single point", {7, 7}, {7, 7}, {}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto canvas = FreshCanvas();
        const Point pts[] = {c.a, c.b};
        canvas->Polygon(pts, 2);
        PixelSet expected = c.pixels;
        if (c.a.x == c.b.x && c.a.y != c.b.y) {
            for (int y = std::min(c.a.y, c.b.y); y <= std::max(c.a.y, c.b.y); ++y) {
                expected.insert({c.a.x, y});
            }
        }
        EXPECT_EQ(PixelsOf(*canvas, kInk), expected);
        EXPECT_TRUE(PixelsOf(*canvas, kRed).empty());
    }
}

TEST(SoftCanvas, SelfCrossingPolygonsLeaveEvenCoverageUnfilled) {
    auto canvas = FreshCanvas();
    // Bow-tie: two lobes meeting at (20, 20); above and below the crossing is outside.
    const Point bowTie[] = {{10, 10}, {30, 30}, {30, 10}, {10, 30}};
    canvas->Polygon(bowTie, 4);
    EXPECT_EQ(canvas->PixelAt(12, 20), kRed);
    EXPECT_EQ(canvas->PixelAt(28, 20), kRed);
    EXPECT_EQ(canvas->PixelAt(20, 13), kPaper);
    EXPECT_EQ(canvas->PixelAt(20, 27), kPaper);

    // Pentagram: the points are covered once, the middle twice and so left open.
    const Point star[] = {{120, 40}, {176, 210}, {30, 100}, {210, 100}, {64, 210}};
    canvas->Polygon(star, 5);
    EXPECT_EQ(canvas->PixelAt(120, 130), kPaper);
    EXPECT_EQ(canvas->PixelAt(120, 60), kRed);
    EXPECT_EQ(canvas->PixelAt(50, 105), kRed);
    EXPECT_EQ(canvas->PixelAt(168, 200), kRed);
}

TEST(SoftCanvas, FewerThanTwoPointsDrawNothing) {
    auto canvas = FreshCanvas();
    const Point one[] = {{5, 5}};
    canvas->Polygon(one, 1);
    canvas->Polygon(one, 0);
    canvas->Polygon(one, -3);
    canvas->Polygon(nullptr, 4);
    EXPECT_EQ(PixelsOf(*canvas, kPaper).size(), static_cast<std::size_t>(kW * kH));
}

// Draws the shape at its place and moved by (dx, dy); every pixel of the moved copy that
// lands in the bitmap must match the original, wherever the bitmap's edge cut it.
void ExpectShiftInvariant(const std::vector<Point>& shape, int dx, int dy) {
    auto whole = FreshCanvas();
    whole->Polygon(shape.data(), static_cast<int>(shape.size()));
    std::vector<Point> moved = shape;
    for (Point& p : moved) {
        p.x += dx;
        p.y += dy;
    }
    auto cut = FreshCanvas();
    cut->Polygon(moved.data(), static_cast<int>(moved.size()));
    int differing = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const int sx = x - dx;
            const int sy = y - dy;
            if (sx < 0 || sx >= kW || sy < 0 || sy >= kH) {
                continue;
            }
            differing += cut->PixelAt(x, y) != whole->PixelAt(sx, sy) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0) << "shift " << dx << "," << dy;
}

TEST(SoftCanvas, ClippingAtTheEdgesKeepsEveryPixelInPlace) {
    // A small deterministic generator; the shapes stay inside so the unshifted copy is whole.
    std::uint32_t state = 12345;
    auto next = [&state](int n) {
        state = state * 1103515245U + 12345U;
        return static_cast<int>((state >> 8U) % static_cast<std::uint32_t>(n));
    };
    const int shifts[][2] = {{-200, 0}, {200, 0}, {0, -230}, {0, 230}, {-150, -170}, {160, 180}, {-37, 111}};
    for (int i = 0; i < 300; ++i) {
        std::vector<Point> shape(static_cast<std::size_t>(2 + next(4)));
        for (Point& p : shape) {
            p = Point{next(kW), next(kH)};
        }
        const auto& s = shifts[i % 7];
        ExpectShiftInvariant(shape, s[0], s[1]);
    }
}

TEST(SoftCanvas, TallShapesPaintAlikeWhetherTheyFitTheBitmapsColumnsOrNot) {
    // Shapes within the columns and 2^22 rows of the bitmap are stepped in fixed point;
    // moved one column or row further they take the exact path. Both must agree, also on
    // edges as steep as 2^23 rows.
    std::mt19937 random(777);
    auto next = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    constexpr int kFar = 1 << 22;
    std::vector<std::vector<Point>> shapes = {
        {{0, -kFar}, {kW, kFar}, {kW, 100}},
        {{kW, -kFar}, {0, kFar}, {0, 200}},
        {{0, -kFar}, {1, kFar}, {kW, 0}},
    };
    for (int i = 0; i < 60; ++i) {
        const int reach = i % 3 == 0 ? kH : (i % 3 == 1 ? 5000 : kFar);
        std::vector<Point> shape;
        for (int k = 0, count = 3 + next(0, 3); k < count; ++k) {
            Point p{next(0, kW), next(-reach, reach)};
            if (k == 0) {
                p.x = kW;  // so that one column to the right leaves the fixed-point range
            } else if (k == 1) {
                p.x = 0;  // and one to the left too
            } else if (k == 2) {
                p.y = i % 2 == 0 ? kFar : -kFar;  // and one row further out
            }
            shape.push_back(p);
        }
        shapes.push_back(shape);
    }
    for (const auto& shape : shapes) {
        ExpectShiftInvariant(shape, 1, 0);
        ExpectShiftInvariant(shape, -1, 0);
        ExpectShiftInvariant(shape, 0, shape[2].y > 0 ? 1 : -1);
    }
}

TEST(SoftCanvas, LongPolygonsPaintLikeTheirShortForm) {
    // Repeating every point adds empty edges only: the long form (past the edge table)
    // must paint exactly what the short form does.
    const std::vector<std::vector<Point>> shapes = {
        {{120, 40}, {176, 210}, {30, 100}, {210, 100}, {64, 210}},
        {{-50, -20}, {300, 40}, {100, 330}},
        {{10, 10}, {30, 30}, {30, 10}, {10, 30}},
    };
    for (const auto& shape : shapes) {
        std::vector<Point> repeated;
        for (const Point& p : shape) {
            repeated.insert(repeated.end(), 9, p);
        }
        auto shortForm = FreshCanvas();
        shortForm->Polygon(shape.data(), static_cast<int>(shape.size()));
        auto longForm = FreshCanvas();
        longForm->Polygon(repeated.data(), static_cast<int>(repeated.size()));
        EXPECT_EQ(std::memcmp(shortForm->Rgb(), longForm->Rgb(), kW * kH * 3), 0);
    }
}

// Rectangles over the whole bitmap wait for the next call or read and then paint only what was
// drawn since the same one last painted. Any mix of calls and reads must give the pixels of a
// canvas that paints each call in full at once.
TEST(SoftCanvas, HeldBackgroundsPaintWhatPaintingAtOnceGives) {
    // Backgrounds that paint alike (corners either way round, sides past the bitmap) and ones
    // that do not (the outline on the last row or column, or on none).
    const int backgrounds[][4] = {{0, 0, kW + 1, kH + 1},  {kW + 1, kH + 1, 0, 0}, {0, 0, kW + 7, kH + 1},
                                  {0, 0, kW, kH + 1},      {0, 0, kW + 1, kH},     {-1, -1, kW + 1, kH + 1},
                                  {-1, 0, kW + 1, kH + 1}, {0, -3, kW + 1, kH}};
    const Colour brushes[] = {kRed, 0x800000, 0x40C040};
    std::mt19937 random(4242);
    auto below = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto lazy = std::make_unique<SoftCanvas>();
    auto eager = std::make_unique<SoftCanvas>();
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        const int kind = below(100);
        const auto& background = backgrounds[below(8)];
        const Colour brush = brushes[below(3)];
        std::vector<Point> shape;
        const int reach = below(20) == 0 ? (1 << 29) : (below(4) == 0 ? 300 : 0);
        for (int k = 0, n = 2 + below(4); k < n; ++k) {
            shape.push_back(Point{below(kW + 2 * reach) - reach, below(kH + 2 * reach) - reach});
        }
        for (SoftCanvas* canvas : {lazy.get(), eager.get()}) {
            if (kind < 30) {
                canvas->Rectangle(background[0], background[1], background[2], background[3]);
            } else if (kind < 45) {
                canvas->SelectBrush(brush);
            } else if (kind < 80) {
                canvas->Polygon(shape.data(), static_cast<int>(shape.size()));
            } else if (kind < 88) {
                canvas->Rectangle(shape[0].x, shape[0].y, shape[1].x, shape[1].y);
            } else if (kind < 92) {
                canvas->Clear(brush);
            } else if (kind < 95) {
                canvas->ForgetBackground();
            }
            // Reads are rare, so that backgrounds wait through runs of calls.
        }
        eager->ForgetBackground();
        (void)eager->Rgb();
        if (kind >= 95) {
            ++compared;
            const int x = below(kW);
            const int y = below(kH);
            ASSERT_EQ(lazy->PixelAt(x, y), eager->PixelAt(x, y)) << "call " << i;
            ASSERT_EQ(std::memcmp(lazy->Rgb(), eager->Rgb(), kW * kH * 3), 0) << "call " << i;
        }
    }
    EXPECT_EQ(std::memcmp(lazy->Rgb(), eager->Rgb(), kW * kH * 3), 0);
    EXPECT_GT(compared, 500);
}

TEST(SoftCanvas, HugeCoordinatesAreSafeAndQuick) {
    const auto start = std::chrono::steady_clock::now();
    auto canvas = FreshCanvas();
    // The outline lies far outside; the inside covers the bitmap.
    canvas->Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(PixelsOf(*canvas, kRed).size(), static_cast<std::size_t>(kW * kH));
    canvas->Rectangle(-70000, -70000, 70000, 70000);
    EXPECT_EQ(PixelsOf(*canvas, kRed).size(), static_cast<std::size_t>(kW * kH));

    const std::vector<std::vector<Point>> shapes = {
        {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN + 1}, {0, INT_MAX}},
        {{INT_MAX, INT_MAX}, {INT_MIN, 0}, {INT_MAX, INT_MIN}, {0, 5}},
        {{-70000, -70000}, {70000, -69999}, {0, 70000}},
        {{65535, 65535}, {-65535, 65535}, {120, -65535}, {121, 500}, {-3, 7}},
        {{100, 100}, {100, 65536}, {-65536, 100}},
    };
    for (const auto& shape : shapes) {
        canvas->Clear(kPaper);
        canvas->Polygon(shape.data(), static_cast<int>(shape.size()));
    }
    // The last triangle's legs run along x = 100 and y = 100 from (100, 100).
    EXPECT_EQ(canvas->PixelAt(100, 100), kInk);
    EXPECT_EQ(canvas->PixelAt(100, 200), kInk);
    EXPECT_EQ(canvas->PixelAt(50, 100), kInk);
    EXPECT_EQ(canvas->PixelAt(50, 150), kRed);
    EXPECT_EQ(canvas->PixelAt(150, 150), kPaper);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 2000);
}

}  // namespace
