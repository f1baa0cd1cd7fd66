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
constexpr std::ptrdiff_t kStride = static_cast<std::ptrdiff_t>(kW) * 3;

// Polygons with up to this many points keep their edges in a table and step them row by
// row; longer ones recompute each edge on each row (slower, same pixels, still no heap).
constexpr int kMaxTableEdges = 32;

// Sixteen bytes held in a register and stored with one instruction. WebAssembly without its
// SIMD extension has no such register: there a vector would be split into sixteen byte
// stores, and two 64-bit halves do far better.
#if defined(__wasm__) && !defined(__wasm_simd128__)
struct Block {
    std::uint64_t half[2];
};
#else
using Block = std::uint8_t __attribute__((vector_size(16)));
#endif

constexpr std::size_t kPatternBytes = SoftCanvas::kPatternBytes;
constexpr std::uint8_t kBlackPattern[kPatternBytes] = {};

// One colour repeated byte after byte: a store that starts k bytes into a pixel takes the
// pattern from byte k mod 3 on (bytes 16 and 32 start one and two bytes into a pixel).
void MakePattern(Colour colour, std::uint8_t* pattern) {
    pattern[0] = RedOf(colour);
    pattern[1] = GreenOf(colour);
    pattern[2] = BlueOf(colour);
    std::memcpy(pattern + 3, pattern, 3);
    std::memcpy(pattern + 6, pattern, 6);
    std::memcpy(pattern + 12, pattern, 12);
    std::memcpy(pattern + 24, pattern, 24);
    std::memcpy(pattern + 48, pattern, 16);
}

// (16 - k) mod 3: where the pattern stands at the first 16-byte boundary after an address k
// bytes past one.
constexpr std::uint8_t kPhaseAfter[16] = {1, 0, 2, 1, 0, 2, 1, 0, 2, 1, 0, 2, 1, 0, 2, 1};

void Store(std::uint8_t* p, const Block& b) {
    std::memcpy(p, &b, sizeof b);
}

// Writes one colour into the RGB store; callers clip to the bitmap first. The pattern is
// held in registers while a shape is filled.
class Painter {
public:
    Painter(std::uint8_t* rgb, const std::uint8_t* pattern) : m_rgb(rgb), m_pattern(pattern) {
        std::memcpy(&m_b0, pattern, 16);
        std::memcpy(&m_b1, pattern + 16, 16);
        std::memcpy(&m_b2, pattern + 32, 16);
    }

    std::uint8_t* At(int x, int y) const {
        return m_rgb + (static_cast<std::size_t>(y) * kW + static_cast<std::size_t>(x)) * 3U;
    }

    // n pixels from p on, n >= 0. Every run ends with a store that overlaps what came
    // before it, which saves the short loops (and their mispredictions) for the leftover
    // bytes; as the run's end lies on a pixel boundary, the store n bytes before it always
    // takes the pattern at the same offset.
    void Run(std::uint8_t* p, std::size_t n) const {
        const std::size_t bytes = n * 3U;
        if (bytes >= 48) {
            if (bytes <= 96) {
                Store48(p);
                Store48(p + bytes - 48);
            } else if (bytes <= static_cast<std::size_t>(kStride)) {
                // Within a row: planning aligned stores would cost more than it saves.
                std::uint8_t* const last = p + bytes - 48;
                for (; p < last; p += 48) {
                    Store48(p);
                }
                Store48(last);
            } else {
                LongRun(p, bytes);
            }
        } else if (bytes >= 16) {
            Store(p, m_b0);
            if (bytes > 32) {
                Store(p + 16, m_b1);
            }
            Store(p + bytes - 16, m_b2);
        } else if (n >= 3) {
            std::memcpy(p, &m_b0, 8);
            std::memcpy(p + bytes - 8, &m_b1, 8);
        } else if (n == 2) {
            std::memcpy(p, &m_b0, 4);
            std::memcpy(p + 2, &m_b2, 4);
        } else if (n == 1) {
            std::memcpy(p, &m_b0, 2);
            std::memcpy(p + 1, &m_b1, 2);
        }
    }

    // Blocks for runs whose first pixel, or last one, is the pen's black (InkedRun): the
    // pattern in its three phases, a black pixel followed by the pattern, and the last block
    // of a run with its last pixel black.
    struct InkBlocks {
        Block b0;
        Block b1;
        Block b2;
        Block head;
        Block tail;
    };

    InkBlocks MakeInkBlocks() const {
#if defined(__wasm__) && !defined(__wasm_simd128__)
        InkBlocks k{m_b0, m_b1, m_b2, {}, {}};
        std::uint8_t bytes[16] = {};
        std::memcpy(bytes + 3, m_pattern, 13);
        std::memcpy(&k.head, bytes, 16);
        std::memcpy(bytes, m_pattern + 32, 13);
        std::memset(bytes + 13, 0, 3);
        std::memcpy(&k.tail, bytes, 16);
        return k;
#else
        // In registers: a copy through memory would keep the blocks there in the row loops.
        const Block zero{};
        const Block head = __builtin_shufflevector(m_b0, zero, 16, 16, 16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
        const Block tail = m_b2 & Block{255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0};
        return InkBlocks{m_b0, m_b1, m_b2, head, tail};
#endif
    }

    // Fewer than seven pixels from the blocks as held in registers (a copy of the pattern in
    // memory would keep the blocks there too).
    static void ShortRun(std::uint8_t* p, std::size_t n, const InkBlocks& k) {
        const std::size_t bytes = n * 3U;
        if (bytes >= 16) {
            Store(p, k.b0);
            Store(p + bytes - 16, k.b2);
        } else if (n >= 3) {
            StoreLow(p, k.b0, 8);
            StoreLow(p + bytes - 8, k.b1, 8);
        } else if (n == 2) {
            StoreLow(p, k.b0, 4);
            StoreLow(p + 2, k.b2, 4);
        } else if (n == 1) {
            StoreLow(p, k.b0, 2);
            StoreLow(p + 1, k.b1, 2);
        }
    }

    // The first `size` bytes of a block (at most 8).
    static void StoreLow(std::uint8_t* p, const Block& b, std::size_t size) {
#if defined(__wasm__) && !defined(__wasm_simd128__)
        const std::uint64_t low = b.half[0];
#else
        using Halves = std::uint64_t __attribute__((vector_size(16)));
        const std::uint64_t low = reinterpret_cast<const Halves&>(b)[0];
#endif
        std::memcpy(p, &low, size);
    }

    // A run whose first pixel (inkHead) or last one (inkTail), or both, may be the pen's
    // black: k.head and k.tail are the blocks for its first and last 16 bytes (the black ones,
    // or b0 and b2 for a plain end), which saves a store sequence and its address a pixel.
    // n >= 0; with both ends inked n >= 1. Below seven pixels the blocks would overlap each
    // other's black, so the pen pixels are stored after the run.
    static void InkedRun(std::uint8_t* p, std::size_t n, const InkBlocks& k, bool inkHead, bool inkTail) {
        const std::size_t bytes = n * 3U;
        if (bytes > 48) {
            // The last group starts three bytes or more in, past the head's black.
            std::uint8_t* q = p;
            std::uint8_t* const last = p + bytes - 48;
            Store(q, k.head);
            Store(q + 16, k.b1);
            Store(q + 32, k.b2);
            q += 48;
            for (; q < last; q += 48) {
                Store(q, k.b0);
                Store(q + 16, k.b1);
                Store(q + 32, k.b2);
            }
            Store(last, k.b0);
            Store(last + 16, k.b1);
            Store(last + 32, k.tail);
        } else if (bytes >= 19) {
            Store(p, k.head);
            if (bytes > 32) {
                Store(p + 16, k.b1);
            }
            Store(p + bytes - 16, k.tail);
        } else {
            ShortRun(p, n, k);
            if (inkHead) {
                std::memcpy(p, kBlackPattern, 3);
            }
            if (inkTail) {
                std::memcpy(p + bytes - 3, kBlackPattern, 3);
            }
        }
    }

    // Pixels [x0, x1) of row y; x0 and x1 already inside 0..kW.
    void Span(int y, int x0, int x1) const {
        Run(At(x0, y), static_cast<std::size_t>(x1 - x0));
    }

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
        const Painter local = *this;  // in registers: the stores could alias the members
        const auto bytes = static_cast<std::size_t>(r - l) * 3U;
        if (bytes > 144) {
            local.WideRows(At(l, t), bytes, b - t);
            return;
        }
        for (int y = t; y < b; ++y) {
            local.Span(y, l, r);
        }
    }

private:
    void Store48(std::uint8_t* p) const {
        Store(p, m_b0);
        Store(p + 16, m_b1);
        Store(p + 32, m_b2);
    }

    // More than 144 bytes: the middle is stored at 16-byte boundaries, so no store there
    // straddles a cache line.
    void LongRun(std::uint8_t* p, std::size_t bytes) const {
        WideRows(p, bytes, 1);
    }

    // `rows` rows of more than 144 bytes from p on. Every row of the bitmap starts on a 16-byte
    // boundary (720 bytes a row), so the rows share their alignment and are planned once.
    void WideRows(std::uint8_t* p, std::size_t bytes, int rows) const {
        static_assert(kStride % 16 == 0, "rows that differ in alignment need a plan each");
        const std::size_t misalign = reinterpret_cast<std::uintptr_t>(p) & 15U;
        const std::size_t skip = 16U - misalign;
        const std::uint8_t* const phased = m_pattern + kPhaseAfter[misalign];
        Block c0;
        Block c1;
        Block c2;
        std::memcpy(&c0, phased, 16);
        std::memcpy(&c1, phased + 16, 16);
        std::memcpy(&c2, phased + 32, 16);
        const std::size_t last = bytes - 48;
        for (; rows > 0; --rows, p += kStride) {
            Store(p, m_b0);
            std::size_t o = skip;
            for (; o + 144 < last; o += 192) {
                for (std::size_t k = 0; k < 192; k += 48) {
                    Store(p + o + k, c0);
                    Store(p + o + k + 16, c1);
                    Store(p + o + k + 32, c2);
                }
            }
            for (; o < last; o += 48) {
                Store(p + o, c0);
                Store(p + o + 16, c1);
                Store(p + o + 32, c2);
            }
            Store48(p + last);
        }
    }

    std::uint8_t* m_rgb;
    const std::uint8_t* m_pattern;
    Block m_b0;
    Block m_b1;
    Block m_b2;
};

// The pen is always black.
void PutBlack(std::uint8_t* p) {
    p[0] = 0;
    p[1] = 0;
    p[2] = 0;
}

// Pixels [top, bottom) of column x, inside the bitmap.
void BlackColumn(std::uint8_t* rgb, int x, int top, int bottom) {
    if (top >= bottom) {
        return;
    }
    std::uint8_t* p = rgb + (static_cast<std::size_t>(top) * kW + static_cast<std::size_t>(x)) * 3U;
    for (int rows = bottom - top;;) {
        PutBlack(p);
        if (--rows == 0) {
            return;
        }
        p += kStride;
    }
}

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
void WalkClippedLine(std::uint8_t* rgb, LinePoint from, I64 length, I64 err, I64 bias, I64 addMinor, I64 addMajor,
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
    const std::ptrdiff_t rowStep = yInc > 0 ? kStride : -kStride;
    const std::ptrdiff_t columnStep = xInc > 0 ? 3 : -3;
    const std::ptrdiff_t majorStep = xMajor ? columnStep : rowStep;
    const std::ptrdiff_t minorStep = xMajor ? rowStep : columnStep;
    std::uint8_t* p = rgb + (from.y * kW + from.x) * 3;
    for (;;) {
        PutBlack(p);
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

// `length` pixels of a walk from p, length > 0: a major step each time, and a minor one too
// whenever the error is positive.
void WalkSteps(std::uint8_t* p, int length, int err, int addMajor, int subMinor, std::ptrdiff_t majorStep,
               std::ptrdiff_t minorStep) {
    for (;;) {
        PutBlack(p);
        if (--length == 0) {
            return;
        }
        // One combined step: gcc keeps a copy of the loop for each outcome.
        const bool minorNext = err > 0;
        p += majorStep + (minorNext ? minorStep : 0);
        err += addMajor - (minorNext ? subMinor : 0);
    }
}

// A sloped segment with both ends in the bitmap: the unclipped walk ends on its end point,
// so it never leaves the segment's bounding box and needs no checks.
void WalkInsideLine(std::uint8_t* rgb, LinePoint start, I64 dx, I64 dy) {
    const unsigned octant = OctantMask(dx, dy);
    const I64 adx = dx < 0 ? -dx : dx;
    const I64 ady = dy < 0 ? -dy : dy;
    const bool xMajor = (octant & kXMajor) != 0;
    const I64 major = xMajor ? adx : ady;
    const I64 minor = xMajor ? ady : adx;
    const std::ptrdiff_t rowStep = dy > 0 ? kStride : -kStride;
    const std::ptrdiff_t columnStep = dx > 0 ? 3 : -3;
    const std::ptrdiff_t majorStep = xMajor ? columnStep : rowStep;
    const std::ptrdiff_t minorStep = xMajor ? rowStep : columnStep;
    // The error with the octant's rounding bias folded in: a minor step when positive.
    const I64 err = 2 * minor - major + ((octant & kBiased) != 0 ? 1 : 0);
    // Within the bitmap every figure fits an int; the end pixel is left out.
    WalkSteps(rgb + (start.y * kW + start.x) * 3, static_cast<int>(major), static_cast<int>(err),
              static_cast<int>(2 * minor), static_cast<int>(2 * major), majorStep, minorStep);
}

bool InBitmap(LinePoint p) {
    return static_cast<U64>(p.x) < static_cast<U64>(kW) && static_cast<U64>(p.y) < static_cast<U64>(kH);
}

// One segment of the 1-pixel pen, start pixel in, end pixel out.
void PenLine(std::uint8_t* rgb, LinePoint start, LinePoint end) {
    if (start.y == end.y) {
        I64 left = start.x;
        I64 right = end.x;
        if (left > right) {
            left = end.x + 1;
            right = start.x + 1;
        }
        Painter(rgb, kBlackPattern).Rect(left, start.y, right, start.y + 1);
        return;
    }
    if (start.x == end.x) {
        I64 top = start.y;
        I64 bottom = end.y;
        if (top > bottom) {
            top = end.y + 1;
            bottom = start.y + 1;
        }
        if (start.x >= 0 && start.x < kW) {
            BlackColumn(rgb, static_cast<int>(start.x), static_cast<int>(std::max<I64>(top, 0)),
                        static_cast<int>(std::min<I64>(bottom, kH)));
        }
        return;
    }
    if (InBitmap(start) && InBitmap(end)) {
        WalkInsideLine(rgb, start, end.x - start.x, end.y - start.y);
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
    WalkClippedLine(rgb, from, length, err, params.bias, addMinor, addMajor, xMajor, xInc, yInc);
}

// From this many pixels a row on, a segment's pixels are stored a row at a time.
constexpr int kRowRunRatio = 3;

// The closed walk of a segment that goes along the rows, left to right from p, as one run of
// black a row (the walk steps a row at most once a pixel, so every row between has a run).
// The walk (error 2 minor - major + bias, a row step after each pixel whose error is positive)
// reaches row r > 0 at pixel floor((2 major r - major - bias) / (2 minor)) + 1: the first row
// holds that for r = 1, each row between holds the step 2 major / (2 minor) and a carry from
// the remainder, and the last row the ceil((major + bias) / (2 minor)) pixels left. minor > 0.
void WalkRowRuns(const Painter& ink, std::uint8_t* p, int major, int minor, int bias, std::ptrdiff_t rowStep) {
    const int den = 2 * minor;
    const int stepQ = 2 * major / den;
    const int stepR = 2 * major % den;
    int n = (major - bias) / den + 1;  // major - bias >= 0
    int rem = (major - bias) % den;
    for (int rows = minor;;) {
        ink.Run(p, static_cast<std::size_t>(n));
        p += n * 3 + rowStep;
        if (--rows == 0) {
            break;
        }
        rem += stepR;
        const bool carry = rem >= den;
        rem -= carry ? den : 0;
        n = stepQ + (carry ? 1 : 0);
    }
    ink.Run(p, static_cast<std::size_t>((major + bias + den - 1) / den));
}

// One closed segment of an outline inside the bitmap: both end points and what lies between.
void OutlineSegment(const Painter& ink, Point a, Point b) {
    if (a.y > b.y || (a.y == b.y && a.x > b.x)) {
        std::swap(a, b);
    }
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    if (dy == 0) {
        ink.Run(ink.At(a.x, a.y), static_cast<std::size_t>(dx) + 1U);
        return;
    }
    const int adx = dx < 0 ? -dx : dx;
    int major = dy;
    int minor = adx;
    std::ptrdiff_t majorStep = kStride;
    std::ptrdiff_t minorStep = dx < 0 ? -3 : 3;
    int bias = dx < 0 ? 1 : 0;  // down a row each step; octant 3 (leftwards) rounds the other way
    if (dy < adx) {
        // Along a row each step, left to right; octant 8 (upwards) rounds the other way.
        if (dx < 0) {
            std::swap(a, b);
        }
        major = adx;
        minor = dy;
        majorStep = 3;
        minorStep = b.y < a.y ? -kStride : kStride;
        bias = b.y < a.y ? 1 : 0;
        if (major >= kRowRunRatio * minor) {
            WalkRowRuns(ink, ink.At(a.x, a.y), major, minor, bias, minorStep);
            return;
        }
    }
    // One call, so that the steps stay variables: with constants gcc lays the loop out worse.
    WalkSteps(ink.At(a.x, a.y), major + 1, 2 * minor - major + bias, 2 * minor, 2 * major, majorStep, minorStep);
}

// The outline of a polygon whose points all lie in the bitmap. Each segment leaves out its end
// point, which the next segment starts on, and the walk picks the same pixels in both
// directions (the biased octants see to that): so the outline is the union of the closed
// segments, each walked in whichever direction is cheapest, top down or left to right. A polygon
// whose points all coincide has no outline.
void OutlineInside(std::uint8_t* rgb, const Point* points, int count) {
    const Painter ink(rgb, kBlackPattern);
    for (int i = 0; i < count; ++i) {
        OutlineSegment(ink, points[i], points[i + 1 == count ? 0 : i + 1]);
    }
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

// An edge stepped row by row from the first row it shows on, exactly, with coordinates
// anywhere in the int range; its x is clamped to the bitmap's columns.
struct ExactEdge {
    int yFirst;
    int yEnd;
    I64 x;
    I64 rem;
    I64 stepQ;
    I64 stepR;
    I64 dy;

    void Start(const EdgeGeometry& g, I64 first) {
        const DivMod step = FloorDivMod(g.dx, g.dy);
        EdgeAt(g, step, first - g.ty, &x, &rem);
        stepQ = step.q;
        stepR = step.r;
        dy = g.dy;
    }
    static constexpr bool kLinear = false;
    I64 X() const { return ClampX(x); }
    void Step() {
        x += stepQ;
        rem -= stepR;
        const I64 borrow = -static_cast<I64>(rem < 0);  // branch-free: slopes are not predictable
        x -= borrow;
        rem += dy & borrow;
    }
};

// An edge of a polygon whose points lie within the bitmap's columns and within kFixedRange
// rows of it: x in 32.32 fixed point, one addition a row. The step is rounded down, so the
// fixed value never exceeds the true one and falls behind it by less than 1 + j units of
// 2^-32 after j rows. The true entry x_k = top.x + k * dx / dy is a multiple of 1 / dy, so
// while dy * (1 + j) <= 2^32 (dy <= 2^23, j < 2^9) the ceiling is that of the fixed value:
// an integer x_k keeps its ceiling as the value stays above x_k - 1, and any other x_k
// lies at least 2^32 / dy >= 1 + j units above floor(x_k), which the value stays above.
constexpr I64 kFixedRange = I64{1} << 22;
constexpr int kFixedShift = 32;
constexpr I64 kCeilBias = (I64{1} << kFixedShift) - 1;  // x + kCeilBias >> 32 is ceil(x)

struct FixedEdge {
    int yFirst;
    int yEnd;
    I64 x;  // ceil-biased: x >> 32 is the entry pixel
    I64 step;

    void Start(const EdgeGeometry& g, I64 first) {
        constexpr I64 kOne = I64{1} << kFixedShift;
        step = FloorDivMod(g.dx * kOne, g.dy).q;
        if (first == g.ty) {
            x = g.tx * kOne + (kOne - 1);
            return;
        }
        I64 x0 = 0;
        I64 rem = 0;
        EdgeAt(g, FloorDivMod(g.dx, g.dy), first - g.ty, &x0, &rem);
        // The true value is x0 - rem / dy with 0 <= rem < dy < 2^23: floor it to 32 bits.
        const U64 fraction =
            ((static_cast<U64>(rem) << kFixedShift) + static_cast<U64>(g.dy) - 1U) / static_cast<U64>(g.dy);
        x = x0 * kOne - static_cast<I64>(fraction) + (kOne - 1);
    }
    static constexpr bool kLinear = true;
    I64 X() const { return x >> kFixedShift; }
    void Step() { x += step; }
};

// `rows` rows from `row` on between two edges, the left one first. The painter and the edges
// are worked on as locals whose address is never taken (the pixel stores could alias anything
// else), in a function of their own, so that the row loop comes out the same wherever it is used.
template <typename Edge>
[[gnu::noinline]] void FillOrderedBand(const Painter& shared, std::uint8_t* row, int rows, Edge* left, Edge* right) {
    const Painter painter = shared;
    Edge l = *left;
    Edge r = *right;
    for (; rows > 0; --rows, row += kStride) {
        const I64 xl = l.X();
        painter.Run(row + xl * 3, static_cast<std::size_t>(r.X() - xl));
        l.Step();
        r.Step();
    }
    *left = l;
    *right = r;
}

// `rows` rows from `row` on between two edges, in either order.
template <typename Edge>
[[gnu::noinline]] void FillUnorderedBand(const Painter& shared, std::uint8_t* row, int rows, Edge* edgeA, Edge* edgeB) {
    const Painter painter = shared;
    Edge a = *edgeA;
    Edge b = *edgeB;
    for (; rows > 0; --rows, row += kStride) {
        const I64 xa = a.X();
        const I64 xb = b.X();
        const I64 lo = std::min(xa, xb);
        painter.Run(row + lo * 3, static_cast<std::size_t>(std::max(xa, xb) - lo));
        a.Step();
        b.Step();
    }
    *edgeA = a;
    *edgeB = b;
}

// `rows` rows from `row` on between two edges.
template <typename Edge>
void FillTwoEdgeBand(const Painter& painter, std::uint8_t* row, int rows, Edge* edgeA, Edge* edgeB) {
    Edge& a = *edgeA;
    Edge& b = *edgeB;
    if constexpr (Edge::kLinear) {
        // x is linear in the row: edges in the same order on the band's first and last rows
        // keep it on every row between.
        const I64 first = b.x - a.x;
        const I64 last = first + static_cast<I64>(rows - 1) * (b.step - a.step);
        if (first >= 0 && last >= 0) {
            FillOrderedBand(painter, row, rows, &a, &b);
        } else if (first <= 0 && last <= 0) {
            FillOrderedBand(painter, row, rows, &b, &a);
        } else {
            FillUnorderedBand(painter, row, rows, &a, &b);
        }
    } else {
        FillUnorderedBand(painter, row, rows, &a, &b);
    }
}

// The polygon's extent, in 64 bits.
struct Bounds {
    I64 x0;
    I64 y0;
    I64 x1;  // inclusive
    I64 y1;
    int top;     // the first point on row y0
    int lowest;  // the first point on row y1
};

Bounds BoundsOf(const Point* points, int count) {
    Bounds b{points[0].x, points[0].y, points[0].x, points[0].y, 0, 0};
    for (int i = 1; i < count; ++i) {
        b.x0 = std::min<I64>(b.x0, points[i].x);
        b.top = points[i].y < b.y0 ? i : b.top;
        b.y0 = std::min<I64>(b.y0, points[i].y);
        b.x1 = std::max<I64>(b.x1, points[i].x);
        b.lowest = points[i].y > b.y1 ? i : b.lowest;
        b.y1 = std::max<I64>(b.y1, points[i].y);
    }
    return b;
}

// On a segment that steps down a row each pixel, the pen's pixel on the row where the segment's
// true x (a multiple of 1 / dy) lies is ceil(x - 1/2): the walk's rounding, ties to the left,
// whichever way the walk goes. For segments within the bitmap (dy < 2^9, fewer than 2^9 rows)
// the side's ceil-biased x less a half gives it exactly, as its ceil (see FixedEdge).
constexpr I64 kHalf = I64{1} << (kFixedShift - 1);

// One side of a monotone polygon from its top point down: the edges that show, x in 32.32
// fixed point (ceil-biased) on their first row shown, the row each ends on, and whether the
// rows draw its pen pixels (a segment that steps down a row each pixel).
struct SideEdges {
    I64 x[kMaxTableEdges];
    I64 step[kMaxTableEdges];
    int end[kMaxTableEdges];
    bool steep[kMaxTableEdges];
};

// `rows` rows between two sides in a known order, left first, and the pen pixel of each
// side that has one: the left pen is the run's first pixel or the one before it, the right
// one its last or the one after, so each row is one run from pen to pen with the black in its
// end stores. The sides' x are moved by the pen's half pixel once, rather than on every row:
// the left pen is at floor(x - 1/2), the pixel after the right one at floor(x + 1/2).
inline void FillOrderedRows(const Painter::InkBlocks& plain, std::uint8_t* row, int rows, I64 left, I64 stepLeft,
                            I64 right, I64 stepRight, bool inkLeft, bool inkRight) {
    Painter::InkBlocks blocks = plain;
    blocks.head = inkLeft ? plain.head : plain.b0;
    blocks.tail = inkRight ? plain.tail : plain.b2;
    left -= inkLeft ? kHalf : 0;
    right += inkRight ? kHalf : 0;
    for (; rows > 0; --rows, row += kStride, left += stepLeft, right += stepRight) {
        const I64 lo = left >> kFixedShift;
        const I64 hi = right >> kFixedShift;
        Painter::InkedRun(row + lo * 3, static_cast<std::size_t>(hi - lo), blocks, inkLeft, inkRight);
    }
}

// `rows` rows between two sides that cross within them, and the pen pixel of each side that
// has one (rare: sides meet at the top and bottom points only, or cross in a twisted polygon).
[[gnu::noinline]] void FillCrossingRows(const Painter& shared, std::uint8_t* row, int rows, I64 xa, I64 sa, I64 xb,
                                        I64 sb, bool inkA, bool inkB) {
    const Painter painter = shared;
    for (; rows > 0; --rows, row += kStride, xa += sa, xb += sb) {
        const I64 lo = std::min(xa, xb) >> kFixedShift;
        const I64 hi = std::max(xa, xb) >> kFixedShift;
        painter.Run(row + lo * 3, static_cast<std::size_t>(hi - lo));
        if (inkA) {
            PutBlack(row + ((xa - kHalf) >> kFixedShift) * 3);
        }
        if (inkB) {
            PutBlack(row + ((xb - kHalf) >> kFixedShift) * 3);
        }
    }
}

// A side's edge while the rows are filled: its x on the next row, its step, the row it ends on
// and whether the rows draw its pen pixels.
struct SideCursor {
    const SideEdges* edges;
    int index;
    I64 x;
    I64 step;
    int end;
    bool ink;

    void Take(int i) {
        index = i;
        x = edges->x[i];
        step = edges->step[i];
        end = edges->end[i];
        ink = edges->steep[i];
    }
    // Past a band of `rows` rows that ends on row y: the next edge, or the same one stepped on.
    void Pass(int y, int rows) {
        if (end == y) {
            Take(index + 1);
        } else {
            x += static_cast<I64>(rows) * step;
        }
    }
};

// Rows [first, stop) of a monotone polygon, band by band between the rows where an edge of
// either side ends. One call a polygon, with the painter and its blocks in locals (the pixel
// stores could alias memory), so that the blocks stay in registers from band to band.
[[gnu::noinline]] void FillSideBands(const Painter& shared, const SideEdges (&sides)[2], int first, int stop) {
    const Painter painter = shared;
    const Painter::InkBlocks plain = painter.MakeInkBlocks();
    std::uint8_t* row = painter.At(0, first);
    SideCursor a{&sides[0], 0, 0, 0, 0, false};
    SideCursor b{&sides[1], 0, 0, 0, 0, false};
    a.Take(0);
    b.Take(0);
    for (int y = first;;) {
        const int bandEnd = std::min(a.end, b.end);
        const int rows = bandEnd - y;
        // x is linear in the row: sides in the same order on the band's first and last rows
        // keep it on every row between.
        const I64 gapFirst = b.x - a.x;
        const I64 gapLast = gapFirst + static_cast<I64>(rows - 1) * (b.step - a.step);
        const bool aLeft = gapFirst >= 0 && gapLast >= 0;
        if (aLeft || (gapFirst <= 0 && gapLast <= 0)) {
            FillOrderedRows(plain, row, rows, aLeft ? a.x : b.x, aLeft ? a.step : b.step, aLeft ? b.x : a.x,
                            aLeft ? b.step : a.step, aLeft ? a.ink : b.ink, aLeft ? b.ink : a.ink);
        } else {
            FillCrossingRows(painter, row, rows, a.x, a.step, b.x, b.step, a.ink, b.ink);
        }
        y = bandEnd;
        if (y >= stop) {
            return;
        }
        row += static_cast<std::ptrdiff_t>(rows) * kStride;
        a.Pass(y, rows);
        b.Pass(y, rows);
    }
}

// A polygon that goes down from its top point and then up again, without turning on the way,
// crosses every row between its top and bottom on exactly two edges, one of each side: its
// alternate fill is the run between them. Most polygons are of this kind (every convex one)
// and need no edge table. For one whose edges step in fixed point (FitsFixedEdges) each
// side's edges are worked out first, and the rows then run from band to band. With `ink` (a
// polygon inside the bitmap, not a single point) its whole outline is drawn too: the pen's
// pixels of the segments that step down a row each pixel with the rows, the other segments
// and the bottom point after them. False, with nothing painted, for a polygon of another kind,
// and with ink for one without rows (its outline is then left to OutlineInside).
bool FillMonotoneFixed(const Painter& painter, const Point* points, int count, const Bounds& bounds, bool ink) {
    const int top = bounds.top;
    auto next = [count](int i) { return i + 1 == count ? 0 : i + 1; };
    // The bottom point is the last of the lowest ones, going round from the top: the side that
    // goes that way ends there. Whether both sides only go down is checked as they are built.
    int bottom = bounds.lowest;
    for (int steps = 1; steps < count && points[next(bottom)].y == points[bottom].y; ++steps) {
        bottom = next(bottom);
    }
    const int first = static_cast<int>(std::max<I64>(points[top].y, 0));
    const int stop = static_cast<int>(std::min<I64>(points[bottom].y, kH));
    if (first >= stop) {
        return !ink;  // no rows: the outline is left to OutlineInside
    }
    // Each side from the top point to the bottom one, the edges that reach row `first` or below.
    // With ink, the segments the rows do not draw (level, or more across than down) wait in
    // `flat` until the fill is done.
    SideEdges sides[2];
    int flat[2 * kMaxTableEdges];
    int flatCount = 0;
    for (int s = 0; s < 2; ++s) {
        int n = 0;
        for (int from = top; from != bottom;) {
            const int to = s == 0 ? next(from) : (from == 0 ? count - 1 : from - 1);
            const I64 dx = static_cast<I64>(points[to].x) - points[from].x;
            const I64 dy = static_cast<I64>(points[to].y) - points[from].y;
            if (dy < 0) {
                return false;  // the side turns up on the way: nothing is painted yet
            }
            const bool steep = dy != 0 && (dx < 0 ? -dx : dx) <= dy;
            if (ink && !steep) {
                flat[flatCount++] = from;
                flat[flatCount++] = to;
            }
            if (dy != 0 && points[to].y > first) {
                if (points[from].y >= first) {
                    // The usual start, on the edge's top row: its x exactly, and the step
                    // floor(dx 2^32 / dy) (the division rounds toward zero).
                    const I64 scaled = dx * (I64{1} << kFixedShift);
                    sides[s].x[n] = static_cast<I64>(points[from].x) * (I64{1} << kFixedShift) + kCeilBias;
                    sides[s].step[n] = scaled / dy - (scaled % dy < 0 ? 1 : 0);
                } else {
                    EdgeGeometry g{};
                    MakeEdge(points[from], points[to], &g);
                    FixedEdge e{};
                    e.Start(g, first);
                    sides[s].x[n] = e.x;
                    sides[s].step[n] = e.step;
                }
                sides[s].end[n] = static_cast<int>(std::min<I64>(points[to].y, kH));
                sides[s].steep[n] = ink && steep;
                ++n;
            }
            from = to;
        }
    }
    FillSideBands(painter, sides, first, stop);
    if (ink) {
        const Painter pen(painter.At(0, 0), kBlackPattern);
        for (int i = 0; i < flatCount; i += 2) {
            OutlineSegment(pen, points[flat[i]], points[flat[i + 1]]);
        }
        PutBlack(painter.At(points[bottom].x, points[bottom].y));
    }
    return true;
}

// Rows are taken in bands between the rows where an edge starts or ends; within a band the
// set of edges is fixed, and the usual band, two edges, needs no sorting.
template <typename Edge>
void FillWithEdgeTable(const Painter& painter, const Point* points, int count) {
    Edge edges[kMaxTableEdges];
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
        Edge e{};
        e.yFirst = static_cast<int>(first);
        e.yEnd = static_cast<int>(end);
        e.Start(g, first);
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
    Edge active[kMaxTableEdges];
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
            FillTwoEdgeBand(painter, painter.At(0, y), bandEnd - y, &active[0], &active[1]);
            y = bandEnd;
        } else {
            for (; y < bandEnd; ++y) {
                for (int i = 0; i < activeCount; ++i) {
                    xs[i] = static_cast<int>(active[i].X());
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

bool FitsFixedEdges(const Bounds& b) {
    return b.x0 >= 0 && b.x1 <= kW && b.y0 >= -kFixedRange && b.y1 <= kFixedRange;
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

// The box [x0, x1) x [y0, y1) of one covering rectangle: its brush, and its outline where it
// falls on the bitmap's first or last row or column.
void PaintCover(std::uint8_t* rgb, const SoftCanvas::Cover& cover, const SoftCanvas::Box& box) {
    std::uint8_t pattern[kPatternBytes];
    MakePattern(cover.brush, pattern);
    Painter(rgb, pattern).Rect(box.x0, box.y0, box.x1, box.y1);
    const Painter ink(rgb, kBlackPattern);
    if (cover.top == 0 && box.y0 == 0) {
        ink.Rect(box.x0, 0, box.x1, 1);
    }
    if (cover.bottom == kH && box.y1 == kH) {
        ink.Rect(box.x0, kH - 1, box.x1, kH);
    }
    if (cover.left == 0 && box.x0 == 0) {
        BlackColumn(rgb, 0, box.y0, box.y1);
    }
    if (cover.right == kW && box.x1 == kW) {
        BlackColumn(rgb, kW - 1, box.y0, box.y1);
    }
}

constexpr SoftCanvas::Box kNothing{kW, kH, 0, 0};
constexpr SoftCanvas::Box kEverything{0, 0, kW, kH};

// Scaled far points can put pixels outside their segment's box.
constexpr I64 kFarCoordinate = 0x10000000;

}  // namespace

bool SoftCanvas::Cover::operator==(const Cover& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom &&
           brush == other.brush;
}

SoftCanvas::SoftCanvas() {
    MakePattern(m_brush, m_brushPattern);
    Clear(0x000000);
}

void SoftCanvas::SelectBrush(Colour colour) {
    colour &= 0xFFFFFFU;
    if (colour != m_brush) {
        m_brush = colour;
        MakePattern(colour, m_brushPattern);
    }
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
    // Outline and inside together paint every pixel of [l, r) x [t, b). One that takes in the
    // whole bitmap leaves nothing of what lay there: it waits, as the next one may paint over it
    // in turn, and then paints only what changed since the same one was last painted.
    if (l <= 0 && t <= 0 && r >= kW && b >= kH) {
        m_held = Cover{static_cast<int>(std::max<I64>(l, -1)), static_cast<int>(std::max<I64>(t, -1)),
                       static_cast<int>(std::min<I64>(r, kW + 1)), static_cast<int>(std::min<I64>(b, kH + 1)), m_brush};
        m_holding = true;
        return;
    }
    Settle();
    Changed(l, t, r, b);
    --r;
    --b;
    const Painter brush(m_rgb, m_brushPattern);
    brush.Rect(l + 1, t + 1, r, b);
    // Clockwise from the bottom-right corner, as the outline is traced.
    const LinePoint corners[4] = {{r, b}, {l, b}, {l, t}, {r, t}};
    for (int i = 0; i < 4; ++i) {
        PenLine(m_rgb, corners[i], corners[(i + 1) % 4]);
    }
}

void SoftCanvas::Polygon(const Point* points, int count) {
    if (points == nullptr || count < 2) {
        return;  // GDI refuses a polygon of fewer than two points
    }
    Settle();
    const Bounds bounds = BoundsOf(points, count);
    if (bounds.x0 <= -kFarCoordinate || bounds.y0 <= -kFarCoordinate || bounds.x1 >= kFarCoordinate ||
        bounds.y1 >= kFarCoordinate) {
        m_changed = kEverything;
    } else {
        Changed(bounds.x0, bounds.y0, bounds.x1 + 1, bounds.y1 + 1);
    }
    const Painter brush(m_rgb, m_brushPattern);
    const bool inside = bounds.x0 >= 0 && bounds.y0 >= 0 && bounds.x1 < kW && bounds.y1 < kH;
    const bool ink = inside && (bounds.x0 != bounds.x1 || bounds.y0 != bounds.y1);
    bool outlined = false;
    if (count > kMaxTableEdges) {
        FillByParity(brush, points, count);
    } else if (FitsFixedEdges(bounds)) {
        outlined = FillMonotoneFixed(brush, points, count, bounds, ink);
        if (!outlined) {
            FillWithEdgeTable<FixedEdge>(brush, points, count);
        }
    } else {
        FillWithEdgeTable<ExactEdge>(brush, points, count);
    }
    if (inside) {
        if (ink && !outlined) {
            OutlineInside(m_rgb, points, count);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[i + 1 == count ? 0 : i + 1];
        PenLine(m_rgb, LinePoint{a.x, a.y}, LinePoint{b.x, b.y});
    }
}

void SoftCanvas::Clear(Colour colour) {
    m_held = Cover{-1, -1, kW + 1, kH + 1, colour & 0xFFFFFFU};
    m_holding = true;
    Settle();
}

void SoftCanvas::ForgetBackground() {
    m_shownValid = false;
}

Colour SoftCanvas::PixelAt(int x, int y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) {
        return 0xFFFFFFFFU;  // as GetPixel's CLR_INVALID
    }
    Settle();
    const std::uint8_t* p = m_rgb + (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 3U;
    return static_cast<Colour>(p[0]) | (static_cast<Colour>(p[1]) << 8U) | (static_cast<Colour>(p[2]) << 16U);
}

const std::uint8_t* SoftCanvas::Rgb() const {
    Settle();
    return m_rgb;
}

void SoftCanvas::Settle() const {
    if (!m_holding) {
        return;
    }
    m_holding = false;
    if (!m_shownValid || !(m_held == m_shown)) {
        PaintCover(m_rgb, m_held, kEverything);
    } else if (m_changed.x0 < m_changed.x1) {
        PaintCover(m_rgb, m_held, m_changed);
    }
    m_shown = m_held;
    m_shownValid = true;
    m_changed = kNothing;
}

inline void SoftCanvas::Changed(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    const auto l = static_cast<int>(std::max<I64>(left, 0));
    const auto t = static_cast<int>(std::max<I64>(top, 0));
    const auto r = static_cast<int>(std::min<I64>(right, kW));
    const auto b = static_cast<int>(std::min<I64>(bottom, kH));
    if (l >= r || t >= b) {
        return;
    }
    m_changed.x0 = std::min(m_changed.x0, l);
    m_changed.y0 = std::min(m_changed.y0, t);
    m_changed.x1 = std::max(m_changed.x1, r);
    m_changed.y1 = std::max(m_changed.y1, b);
}
