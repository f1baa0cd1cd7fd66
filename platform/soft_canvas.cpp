// GDI's pixel rules, as the DIB engine the tests compare against applies them:
// - a 1-pixel solid pen draws each segment with a biased Bresenham walk that leaves
//   out the segment's last pixel; a clipped segment resumes the walk exactly where the
//   unclipped one would be, so clipping never moves a pixel;
// - a polygon's interior is the even-odd span set of its edges, each edge entering a
//   row at top.x + ceil(k * dx / dy) (left pixel in, right pixel out), painted before
//   the outline;
// - Rectangle outlines its inclusive border and fills what lies strictly inside.
// All geometry runs in 64-bit integers, and nothing is walked outside the bitmap, so
// coordinates anywhere in the int range cost no more than shapes on screen.
#include "platform/soft_canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using I64 = std::int64_t;
using U64 = std::uint64_t;

constexpr int kW = SoftCanvas::kWidth;
constexpr int kH = SoftCanvas::kHeight;

// Polygons with up to this many points keep their edges in a table and step them row by
// row; longer ones recompute each edge on each row (slower, same pixels, still no heap).
constexpr int kMaxTableEdges = 32;

// Writes one colour into the RGB store; callers clip to the bitmap first.
class Painter {
public:
    Painter(std::uint8_t* rgb, Colour colour) : m_rgb(rgb) {
        m_pattern[0] = RedOf(colour);
        m_pattern[1] = GreenOf(colour);
        m_pattern[2] = BlueOf(colour);
        for (int filled = 3; filled < kPatternBytes; filled *= 2) {
            std::memcpy(m_pattern + filled, m_pattern, static_cast<std::size_t>(filled));
        }
        std::memcpy(m_pattern + kPatternBytes, m_pattern, 2);  // so a block may start one or two bytes in
    }

    std::uint8_t* At(int x, int y) const {
        return m_rgb + (static_cast<std::size_t>(y) * kW + static_cast<std::size_t>(x)) * 3U;
    }

    // n pixels from p on. The pattern repeats every pixel, so a block may be copied to any
    // pixel boundary: each run ends with a block that overlaps what came before it, which
    // saves the short loops (and their mispredictions) for the leftover pixels.
    void Run(std::uint8_t* p, std::size_t n) const {
        std::uint8_t* const end = p + n * 3U;
        if (n >= 2 * kPatternPixels) {
            // Long runs store at 16-byte boundaries, so no store straddles a cache line.
            std::memcpy(p, m_pattern, 16);
            std::uint8_t* q = p + (16U - (reinterpret_cast<std::uintptr_t>(p) & 15U));
            const std::uint8_t* pattern = m_pattern + static_cast<std::size_t>(q - p) % 3U;
            for (; q + kPatternBytes <= end; q += kPatternBytes) {
                std::memcpy(q, pattern, kPatternBytes);
            }
            std::memcpy(end - kPatternBytes, m_pattern, kPatternBytes);
        } else if (n >= kPatternPixels) {
            for (; p + kPatternBytes <= end; p += kPatternBytes) {
                std::memcpy(p, m_pattern, kPatternBytes);
            }
            if (p != end) {
                std::memcpy(end - kPatternBytes, m_pattern, kPatternBytes);
            }
        } else if (n >= 8) {
            std::memcpy(p, m_pattern, 24);
            std::memcpy(end - 24, m_pattern, 24);
        } else if (n >= 4) {
            std::memcpy(p, m_pattern, 12);
            std::memcpy(end - 12, m_pattern, 12);
        } else if (n >= 2) {
            std::memcpy(p, m_pattern, 6);
            std::memcpy(end - 6, m_pattern, 6);
        } else if (n == 1) {
            std::memcpy(p, m_pattern, 3);
        }
    }

    // Pixels [x0, x1) of row y; x0 and x1 already inside 0..kW.
    void Span(int y, int x0, int x1) const { Run(At(x0, y), static_cast<std::size_t>(x1 - x0)); }

    void Rect(I64 left, I64 top, I64 right, I64 bottom) const {
        const int l = static_cast<int>(std::max<I64>(left, 0));
        const int r = static_cast<int>(std::min<I64>(right, kW));
        const int t = static_cast<int>(std::max<I64>(top, 0));
        const int b = static_cast<int>(std::min<I64>(bottom, kH));
        if (l >= r || t >= b) {
            return;
        }
        if (l == 0 && r == kW) {
            Run(At(0, t), static_cast<std::size_t>(b - t) * kW);  // whole rows lie end to end
            return;
        }
        for (int y = t; y < b; ++y) {
            Span(y, l, r);
        }
    }

    void Put(std::uint8_t* p) const {
        p[0] = m_pattern[0];
        p[1] = m_pattern[1];
        p[2] = m_pattern[2];
    }

private:
    static constexpr int kPatternPixels = 16;
    static constexpr int kPatternBytes = kPatternPixels * 3;  // 48: a power of two times 3
    std::uint8_t* m_rgb;
    std::uint8_t m_pattern[kPatternBytes + 2];
};

// ---------------------------------------------------------------- pen lines

struct LinePoint {
    I64 x;
    I64 y;
};

struct ClipRect {
    I64 left;
    I64 top;
    I64 right;
    I64 bottom;
};

// Octants numbered clockwise from +x (y grows downwards), as bits 0..7.
constexpr unsigned kYIncreasing = 0x0FU;
constexpr unsigned kXIncreasing = 0xC3U;
constexpr unsigned kXMajor = 0x99U;
constexpr unsigned kPosSlope = 0x33U;
constexpr unsigned kBiased = 0xB4U;  // octants 3, 5, 6 and 8 round the other way

unsigned OctantMask(I64 dx, I64 dy) {
    int octant = 0;
    if (dy > 0) {
        if (dx > 0) {
            octant = dx > dy ? 1 : 2;
        } else {
            octant = -dx > dy ? 4 : 3;
        }
    } else if (dx < 0) {
        octant = -dx > -dy ? 5 : 6;
    } else {
        octant = dx > -dy ? 8 : 7;
    }
    return 1U << static_cast<unsigned>(octant - 1);
}

// The DIB engine scales points this far out down by eight before walking a sloped line.
LinePoint CropFarPoint(LinePoint p) {
    constexpr I64 kFar = 0x10000000;
    if (p.x >= kFar || p.x <= -kFar || p.y >= kFar || p.y <= -kFar) {
        p.x /= 8;
        p.y /= 8;
    }
    return p;
}

constexpr unsigned kOutLeft = 1U;
constexpr unsigned kOutRight = 2U;
constexpr unsigned kOutTop = 4U;
constexpr unsigned kOutBottom = 8U;

unsigned OutCode(LinePoint p, const ClipRect& clip) {
    unsigned out = 0;
    if (p.x < clip.left) {
        out |= kOutLeft;
    } else if (p.x >= clip.right) {
        out |= kOutRight;
    }
    if (p.y < clip.top) {
        out |= kOutTop;
    } else if (p.y >= clip.bottom) {
        out |= kOutBottom;
    }
    return out;
}

struct BresParams {
    I64 dx;  // absolute
    I64 dy;  // absolute
    I64 bias;
    unsigned octant;
};

// Moves both ends onto the first and last pixels of the walk that lie in the clip
// rectangle, solving the walk's error inequality for the skipped steps.
// Returns false when no pixel of the line is inside.
bool ClipLine(LinePoint start, LinePoint end, const ClipRect& clip, const BresParams& params, LinePoint* pt1,
              LinePoint* pt2) {
    const I64 bias = params.bias;
    const I64 dx = params.dx;
    const I64 dy = params.dy;
    const I64 twoDx = dx * 2;
    const I64 twoDy = dy * 2;
    const bool xMajor = (params.octant & kXMajor) != 0;
    const bool negSlope = (params.octant & kPosSlope) == 0;

    *pt1 = start;
    *pt2 = end;
    unsigned startOut = OutCode(start, clip);
    unsigned endOut = OutCode(end, clip);

    // Each pass settles one side of one end; a handful is all a line can need.
    for (int pass = 0; pass < 16; ++pass) {
        if (startOut == 0 && endOut == 0) {
            return true;
        }
        if ((startOut & endOut) != 0) {
            return false;
        }
        I64 m = 0;
        I64 n = 0;
        if ((startOut & (kOutLeft | kOutRight)) != 0) {
            const bool left = (startOut & kOutLeft) != 0;
            m = left ? clip.left - start.x : start.x - clip.right + 1;
            if (twoDx == 0) {
                return false;
            }
            n = xMajor ? (m * twoDy + bias + dx - 1) / twoDx : (m * twoDy - bias - dy) / twoDx + 1;
            if (negSlope) {
                n = -n;
            }
            pt1->x = left ? clip.left : clip.right - 1;
            pt1->y = left ? start.y + n : start.y - n;
            startOut = OutCode(*pt1, clip);
        } else if (startOut != 0) {
            const bool top = (startOut & kOutTop) != 0;
            n = top ? clip.top - start.y : start.y - clip.bottom + 1;
            if (twoDy == 0) {
                return false;
            }
            m = xMajor ? (n * twoDx - bias - dx) / twoDy + 1 : (n * twoDx + bias + dy - 1) / twoDy;
            if (negSlope) {
                m = -m;
            }
            pt1->y = top ? clip.top : clip.bottom - 1;
            pt1->x = top ? start.x + m : start.x - m;
            startOut = OutCode(*pt1, clip);
        } else if ((endOut & (kOutLeft | kOutRight)) != 0) {
            const bool left = (endOut & kOutLeft) != 0;
            m = left ? clip.left - end.x : end.x - clip.right + 1;
            if (twoDx == 0) {
                return false;
            }
            n = xMajor ? (m * twoDy - bias + dx) / twoDx : (m * twoDy + bias - dy - 1) / twoDx + 1;
            if (negSlope) {
                n = -n;
            }
            pt2->x = left ? clip.left : clip.right - 1;
            pt2->y = left ? end.y + n : end.y - n;
            endOut = OutCode(*pt2, clip);
        } else {
            const bool top = (endOut & kOutTop) != 0;
            n = top ? clip.top - end.y : end.y - clip.bottom + 1;
            if (twoDy == 0) {
                return false;
            }
            m = xMajor ? (n * twoDx + bias - dx - 1) / twoDy + 1 : (n * twoDx - bias + dy) / twoDy;
            if (negSlope) {
                m = -m;
            }
            pt2->y = top ? clip.top : clip.bottom - 1;
            pt2->x = top ? end.x + m : end.x - m;
            endOut = OutCode(*pt2, clip);
        }
    }
    return false;
}

// Plots `length` pixels of a Bresenham walk from `from`. The clipping above keeps the walk
// inside the bitmap; the bounds here only make sure no arithmetic slip could write outside.
void WalkLine(const Painter& painter, LinePoint from, I64 length, I64 err, I64 bias, I64 addMinor, I64 addMajor,
              bool xMajor, I64 xInc, I64 yInc) {
    if (length <= 0 || from.x < 0 || from.x >= kW || from.y < 0 || from.y >= kH) {
        return;
    }
    const I64 major = xMajor ? from.x : from.y;
    const I64 majorInc = xMajor ? xInc : yInc;
    const I64 majorRoom = majorInc > 0 ? (xMajor ? kW : kH) - major : major + 1;
    length = std::min(length, majorRoom);
    I64 minor = xMajor ? from.y : from.x;
    const I64 minorInc = xMajor ? yInc : xInc;
    const I64 minorLimit = xMajor ? kH : kW;
    const std::ptrdiff_t rowStep = static_cast<std::ptrdiff_t>(kW) * 3 * (yInc > 0 ? 1 : -1);
    const std::ptrdiff_t columnStep = xInc > 0 ? 3 : -3;
    const std::ptrdiff_t majorStep = xMajor ? columnStep : rowStep;
    const std::ptrdiff_t minorStep = xMajor ? rowStep : columnStep;
    std::uint8_t* p = painter.At(static_cast<int>(from.x), static_cast<int>(from.y));
    for (;;) {
        painter.Put(p);
        if (--length == 0) {
            return;
        }
        if (err + bias > 0) {
            minor += minorInc;
            if (minor < 0 || minor >= minorLimit) {
                return;
            }
            p += minorStep;
            err += addMinor;
        } else {
            err += addMajor;
        }
        p += majorStep;
    }
}

// One segment of the 1-pixel pen, start pixel in, end pixel out.
void PenLine(const Painter& painter, LinePoint start, LinePoint end) {
    if (start.y == end.y) {
        I64 left = start.x;
        I64 right = end.x;
        if (left > right) {
            left = end.x + 1;
            right = start.x + 1;
        }
        painter.Rect(left, start.y, right, start.y + 1);
        return;
    }
    if (start.x == end.x) {
        I64 top = start.y;
        I64 bottom = end.y;
        if (top > bottom) {
            top = end.y + 1;
            bottom = start.y + 1;
        }
        painter.Rect(start.x, top, start.x + 1, bottom);
        return;
    }

    const LinePoint p1 = CropFarPoint(start);
    const LinePoint p2 = CropFarPoint(end);
    const I64 dx = p2.x - p1.x;
    const I64 dy = p2.y - p1.y;
    BresParams params{};
    params.dx = dx < 0 ? -dx : dx;
    params.dy = dy < 0 ? -dy : dy;
    params.octant = OctantMask(dx, dy);
    params.bias = (params.octant & kBiased) != 0 ? 1 : 0;
    const bool xMajor = (params.octant & kXMajor) != 0;
    const I64 xInc = (params.octant & kXIncreasing) != 0 ? 1 : -1;
    const I64 yInc = (params.octant & kYIncreasing) != 0 ? 1 : -1;

    // The walk is clipped to its own bounding box within the bitmap.
    ClipRect clip{std::max<I64>(std::min(p1.x, p2.x), 0), std::max<I64>(std::min(p1.y, p2.y), 0),
                  std::min<I64>(std::max(p1.x, p2.x) + 1, kW), std::min<I64>(std::max(p1.y, p2.y) + 1, kH)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) {
        return;
    }
    LinePoint from{};
    LinePoint to{};
    if (!ClipLine(p1, p2, clip, params, &from, &to)) {
        return;
    }
    const I64 m = from.x > p1.x ? from.x - p1.x : p1.x - from.x;
    const I64 n = from.y > p1.y ? from.y - p1.y : p1.y - from.y;
    I64 err = 0;
    I64 length = 0;
    I64 addMinor = 0;
    I64 addMajor = 0;
    if (xMajor) {
        err = 2 * params.dy - params.dx + m * 2 * params.dy - n * 2 * params.dx;
        length = (to.x > from.x ? to.x - from.x : from.x - to.x) + 1;
        addMinor = 2 * params.dy - 2 * params.dx;
        addMajor = 2 * params.dy;
    } else {
        err = 2 * params.dx - params.dy + n * 2 * params.dx - m * 2 * params.dy;
        length = (to.y > from.y ? to.y - from.y : from.y - to.y) + 1;
        addMinor = 2 * params.dx - 2 * params.dy;
        addMajor = 2 * params.dx;
    }
    if (to.x == p2.x && to.y == p2.y) {
        --length;
    }
    WalkLine(painter, from, length, err, params.bias, addMinor, addMajor, xMajor, xInc, yInc);
}

// ---------------------------------------------------------------- polygon interior

// An edge from its upper point (tx, ty) to its lower one, dy > 0 rows long. On row
// ty + k it enters at x = tx + ceil(k * dx / dy).
struct EdgeGeometry {
    I64 tx;
    I64 ty;
    I64 dx;
    I64 dy;
};

bool MakeEdge(const Point& a, const Point& b, EdgeGeometry* edge) {
    if (a.y == b.y) {
        return false;  // horizontal edges bound no span
    }
    const Point& top = a.y < b.y ? a : b;
    const Point& bottom = a.y < b.y ? b : a;
    edge->tx = top.x;
    edge->ty = top.y;
    edge->dx = static_cast<I64>(bottom.x) - top.x;
    edge->dy = static_cast<I64>(bottom.y) - top.y;
    return true;
}

struct DivMod {
    I64 q;
    I64 r;  // 0 <= r < divisor
};

// Floor division by a positive divisor, in 32 bits when both fit (nearly always).
DivMod FloorDivMod(I64 a, I64 b) {
    I64 q = 0;
    I64 r = 0;
    if (a >= INT32_MIN && a <= INT32_MAX && b <= INT32_MAX) {
        const auto a32 = static_cast<std::int32_t>(a);
        const auto b32 = static_cast<std::int32_t>(b);
        q = a32 / b32;
        r = a32 % b32;
    } else {
        q = a / b;
        r = a % b;
    }
    if (r < 0) {
        --q;
        r += b;
    }
    return DivMod{q, r};
}

// Entry x on row ty + k (0 <= k < dy) and the remainder ceil(..) * dy - k * dx, given
// dx = step.q * dy + step.r. As dy < 2^32, k * step.r fits in 64 unsigned bits.
void EdgeAt(const EdgeGeometry& e, const DivMod& step, I64 k, I64* x, I64* rem) {
    if (k == 0) {
        *x = e.tx;
        *rem = 0;
        return;
    }
    const U64 t = static_cast<U64>(k) * static_cast<U64>(step.r);
    const U64 udy = static_cast<U64>(e.dy);
    const U64 tq = t / udy;
    const U64 tr = t % udy;
    *x = e.tx + k * step.q + static_cast<I64>(tq) + (tr != 0 ? 1 : 0);
    *rem = tr != 0 ? static_cast<I64>(udy - tr) : 0;
}

int ClampX(I64 x) {
    return static_cast<int>(std::min<I64>(std::max<I64>(x, 0), kW));
}

void FillSortedSpans(const Painter& painter, int y, int* xs, int count) {
    for (int i = 1; i < count; ++i) {
        const int v = xs[i];
        int j = i;
        for (; j > 0 && xs[j - 1] > v; --j) {
            xs[j] = xs[j - 1];
        }
        xs[j] = v;
    }
    for (int i = 0; i + 1 < count; i += 2) {
        if (xs[i] < xs[i + 1]) {
            painter.Span(y, xs[i], xs[i + 1]);
        }
    }
}

// An edge stepped row by row from the first row it shows on.
struct ActiveEdge {
    int yFirst;
    int yEnd;
    I64 x;
    I64 rem;
    I64 stepQ;
    I64 stepR;
    I64 dy;

    void Step() {
        x += stepQ;
        rem -= stepR;
        const I64 borrow = -static_cast<I64>(rem < 0);  // branch-free: slopes are not predictable
        x -= borrow;
        rem += dy & borrow;
    }
};

// Rows are taken in bands between the rows where an edge starts or ends; within a band the
// set of edges is fixed, and the usual band, two edges, needs no sorting.
void FillWithEdgeTable(const Painter& painter, const Point* points, int count) {
    ActiveEdge edges[kMaxTableEdges];
    int edgeCount = 0;
    for (int i = 0; i < count; ++i) {
        EdgeGeometry g{};
        if (!MakeEdge(points[i == 0 ? count - 1 : i - 1], points[i], &g)) {
            continue;
        }
        const I64 first = std::max<I64>(g.ty, 0);
        const I64 end = std::min<I64>(g.ty + g.dy, kH);
        if (first >= end) {
            continue;
        }
        ActiveEdge e{};
        e.yFirst = static_cast<int>(first);
        e.yEnd = static_cast<int>(end);
        const DivMod step = FloorDivMod(g.dx, g.dy);
        EdgeAt(g, step, first - g.ty, &e.x, &e.rem);
        e.stepQ = step.q;
        e.stepR = step.r;
        e.dy = g.dy;
        // Kept in order of their first row.
        int j = edgeCount++;
        for (; j > 0 && edges[j - 1].yFirst > e.yFirst; --j) {
            edges[j] = edges[j - 1];
        }
        edges[j] = e;
    }
    if (edgeCount == 0) {
        return;
    }
    ActiveEdge active[kMaxTableEdges];
    int activeCount = 0;
    int next = 0;
    int xs[kMaxTableEdges];
    for (int y = edges[0].yFirst; next < edgeCount || activeCount > 0;) {
        for (; next < edgeCount && edges[next].yFirst == y; ++next) {
            active[activeCount++] = edges[next];
        }
        int bandEnd = next < edgeCount ? edges[next].yFirst : kH;
        for (int i = 0; i < activeCount; ++i) {
            bandEnd = std::min(bandEnd, active[i].yEnd);
        }
        if (activeCount == 2) {
            ActiveEdge& a = active[0];
            ActiveEdge& b = active[1];
            for (; y < bandEnd; ++y) {
                const int xa = ClampX(a.x);
                const int xb = ClampX(b.x);
                if (xa != xb) {
                    painter.Span(y, std::min(xa, xb), std::max(xa, xb));
                }
                a.Step();
                b.Step();
            }
        } else {
            for (; y < bandEnd; ++y) {
                for (int i = 0; i < activeCount; ++i) {
                    xs[i] = ClampX(active[i].x);
                    active[i].Step();
                }
                FillSortedSpans(painter, y, xs, activeCount);
            }
        }
        int kept = 0;
        for (int i = 0; i < activeCount; ++i) {
            if (active[i].yEnd > y) {
                active[kept++] = active[i];
            }
        }
        activeCount = kept;
    }
}

// Any number of points: each row counts the crossings to the left of every pixel.
void FillByParity(const Painter& painter, const Point* points, int count) {
    I64 yLo = points[0].y;
    I64 yHi = points[0].y;
    for (int i = 1; i < count; ++i) {
        yLo = std::min<I64>(yLo, points[i].y);
        yHi = std::max<I64>(yHi, points[i].y);
    }
    const int yFirst = static_cast<int>(std::max<I64>(yLo, 0));
    const int yEnd = static_cast<int>(std::min<I64>(yHi, kH));
    std::uint8_t toggles[kW + 1];
    for (int y = yFirst; y < yEnd; ++y) {
        std::memset(toggles, 0, sizeof toggles);
        for (int i = 0; i < count; ++i) {
            EdgeGeometry g{};
            if (!MakeEdge(points[i == 0 ? count - 1 : i - 1], points[i], &g) || y < g.ty || y >= g.ty + g.dy) {
                continue;
            }
            I64 x = 0;
            I64 rem = 0;
            EdgeAt(g, FloorDivMod(g.dx, g.dy), y - g.ty, &x, &rem);
            toggles[ClampX(x)] ^= 1U;
        }
        std::uint8_t inside = 0;
        int spanStart = 0;
        for (int x = 0; x < kW; ++x) {
            if (toggles[x] == 0) {
                continue;
            }
            inside ^= 1U;
            if (inside != 0) {
                spanStart = x;
            } else {
                painter.Span(y, spanStart, x);
            }
        }
        if (inside != 0) {
            painter.Span(y, spanStart, kW);
        }
    }
}

}  // namespace

SoftCanvas::SoftCanvas() {
    Clear(0x000000);
}

void SoftCanvas::SelectBrush(Colour colour) {
    m_brush = colour & 0xFFFFFFU;
}

void SoftCanvas::Rectangle(int left, int top, int right, int bottom) {
    I64 l = left;
    I64 t = top;
    I64 r = right;
    I64 b = bottom;
    if (l > r) {
        std::swap(l, r);
    }
    if (t > b) {
        std::swap(t, b);
    }
    if (l == r || t == b) {
        return;
    }
    --r;
    --b;
    const Painter pen(m_rgb, 0x000000);
    // Clockwise from the bottom-right corner, as the outline is traced.
    const LinePoint corners[4] = {{r, b}, {l, b}, {l, t}, {r, t}};
    for (int i = 0; i < 4; ++i) {
        PenLine(pen, corners[i], corners[(i + 1) % 4]);
    }
    Painter(m_rgb, m_brush).Rect(l + 1, t + 1, r, b);
}

void SoftCanvas::Polygon(const Point* points, int count) {
    if (points == nullptr || count < 2) {
        return;  // GDI refuses a polygon of fewer than two points
    }
    if (count <= kMaxTableEdges) {
        FillWithEdgeTable(Painter(m_rgb, m_brush), points, count);
    } else {
        FillByParity(Painter(m_rgb, m_brush), points, count);
    }
    const Painter pen(m_rgb, 0x000000);
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[i + 1 == count ? 0 : i + 1];
        PenLine(pen, LinePoint{a.x, a.y}, LinePoint{b.x, b.y});
    }
}

void SoftCanvas::Clear(Colour colour) {
    const Painter painter(m_rgb, colour);
    painter.Run(m_rgb, static_cast<std::size_t>(kW) * kH);
}

Colour SoftCanvas::PixelAt(int x, int y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) {
        return 0xFFFFFFFFU;  // as GetPixel's CLR_INVALID
    }
    const std::uint8_t* p = m_rgb + (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 3U;
    return static_cast<Colour>(p[0]) | (static_cast<Colour>(p[1]) << 8U) | (static_cast<Colour>(p[2]) << 16U);
}
