#include "interaction/hit_test.h"

#include <cmath>

#include "platform/crt_math.h"
#include "render/projection.h"

namespace {
// A double constant here, unlike the float one of the drag code.
constexpr double kPickRadToDeg = 57.29577951309679;
}  // namespace

int HitPieceFace(const Piece& piece, int px, int py) {
    for (int f = piece.faceCount - 1; f >= 0; --f) {
        if (IsFacingAway(piece, f)) {
            continue;
        }
        if (IsPointInFace(piece, px, py, f)) {
            return f;
        }
    }
    return -1;
}

int PickPieceFace(const Piece (&pieces)[8], const int (&drawOrder)[8], int px, int py, int* slot) {
    for (int i = 7; i >= 0; --i) {
        const int face = HitPieceFace(pieces[drawOrder[i]], px, py);
        if (face != -1) {
            *slot = drawOrder[i];
            return face;
        }
    }
    return -1;
}

bool IsPointInFace(const Piece& piece, int px, int py, int face) {
    Point points[5];
    const int count = piece.faceVertexCount[face];
    for (int k = 0; k < count; ++k) {
        const int v = piece.faceVertex[face][k];
        points[k] = Point{piece.sx[v], piece.sy[v]};
    }
    return PointInPolygon(points, count, px, py);
}

bool PointInPolygon(const Point* points, int count, int px, int py) {
    if (count < 1) {
        return false;
    }
    double minY = 400.0;
    double maxY = -400.0;
    for (int k = 0; k < count; ++k) {
        const double y = points[k].y;
        if (y < minY) {
            minY = y;
        }
        if (y > maxY) {
            maxY = y;
        }
    }
    const double x0 = px;
    const double y0 = py;
    if (y0 <= minY || y0 >= maxY) {
        return false;
    }
    bool inside = false;
    for (int k = 0; k < count; ++k) {
        const Point& prev = points[k == 0 ? count - 1 : k - 1];
        const double cx = points[k].x;
        const double cy = points[k].y;
        const double pxe = prev.x;
        const double pye = prev.y;
        if ((cy > y0 && pye > y0) || (cy < y0 && pye < y0)) {
            continue;
        }
        if (cx < x0 && pxe < x0) {
            continue;
        }
        if (cy == y0 && cx > x0) {
            // A vertex on the ray counts once, as the end of the edge reaching it.
            inside = !inside;
            continue;
        }
        if (pye == y0 && pxe > x0) {
            continue;
        }
        if (cy == pye) {
            continue;
        }
        // A vertical edge divides by zero to infinity and gives cx, as it should.
        const double xi = cx + (y0 - cy) / ((cy - pye) / (cx - pxe));
        if (xi >= x0) {
            inside = !inside;
        }
    }
    return inside;
}

int PickBoxFace(const OuterBox& box, int px, int py) {
    if (box.faceCount < 1) {
        return -1;
    }
    int visible = 6;
    for (int f = box.faceCount - 1; f >= 0; --f) {
        if (IsBoxFaceFacingAway(box, f)) {
            --visible;
        }
    }
    if (visible != 3 && visible != 2) {
        return -1;
    }
    for (int f = box.faceCount - 1; f >= 0; --f) {
        if (IsBoxFaceFacingAway(box, f)) {
            continue;
        }
        int best = -1;
        int bestDepth = -500;
        for (int k = 0; k < box.faceVertexCount[f]; ++k) {
            const int depth = box.sz[box.faceVertex[f][k]];
            if (depth > bestDepth) {
                bestDepth = depth;
                best = k;
            }
        }
        if (best < 0) {
            continue;  // no corner in front of the far limit: no wedge to test
        }
        const int v = box.faceVertex[f][best];
        const int a = box.faceVertex[f][(best + 1) % 4];
        const int b = box.faceVertex[f][(best + 3) % 4];
        const double vx = box.sx[v];
        const double vy = box.sy[v];
        const double p = CrtAtan2(vy - py, vx - px) * kPickRadToDeg;
        const double da = CrtAtan2(vy - box.sy[a], vx - box.sx[a]) * kPickRadToDeg;
        const double db = CrtAtan2(vy - box.sy[b], vx - box.sx[b]) * kPickRadToDeg;
        if (IsAngleBetween(p, da, db)) {
            return f;
        }
    }
    return -1;
}

bool IsAngleBetween(double p, double a, double b) {
    double lo = a;
    double hi = b;
    if (lo > hi) {
        const double t = lo;
        lo = hi;
        hi = t;
    }
    if (hi - lo > 180.0) {
        // The sector crosses +-180: whole degrees, truncated, folded into 0..359.
        lo = static_cast<double>(static_cast<int>(lo + 360.0) % 360);
        p = static_cast<double>(static_cast<int>(p + 360.0) % 360);
    }
    if (lo > hi) {
        const double t = lo;
        lo = hi;
        hi = t;
    }
    return lo <= p && p <= hi;
}
