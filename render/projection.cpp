#include "render/projection.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/crt_math.h"

void ScaleMatrix(Matrix34& m, float a, float b, float c) {
    for (int i = 0; i < 4; ++i) {
        m.m[i] *= a;
        m.m[4 + i] *= b;
        m.m[8 + i] *= c;
    }
}

void TranslateMatrix(Matrix34& m, float tx, float ty, float tz) {
    m.m[3] += tx;
    m.m[7] += ty;
    m.m[11] += tz;
}

// Float sums in the matrix's order, then truncation toward zero.
int ProjectX(const Matrix34& m, float x, float y, float z) {
    return static_cast<int>(m.TransformX(x, y, z));
}
int ProjectY(const Matrix34& m, float x, float y, float z) {
    return static_cast<int>(m.TransformY(x, y, z));
}
int ProjectZ(const Matrix34& m, float x, float y, float z) {
    return static_cast<int>(m.TransformZ(x, y, z));
}

void ProjectPiece(Piece& piece, const Matrix34& m) {
    for (int i = 0; i < piece.vertexCount; ++i) {
        piece.sx[i] = ProjectX(m, piece.x[i], piece.y[i], piece.z[i]);
        piece.sy[i] = ProjectY(m, piece.x[i], piece.y[i], piece.z[i]);
        piece.sz[i] = ProjectZ(m, piece.x[i], piece.y[i], piece.z[i]);
    }
}

void ProjectBox(OuterBox& box, const Matrix34& m) {
    for (int i = 0; i < 8; ++i) {
        box.sx[i] = ProjectX(m, box.x[i], box.y[i], box.z[i]);
        box.sy[i] = ProjectY(m, box.x[i], box.y[i], box.z[i]);
        box.sz[i] = ProjectZ(m, box.x[i], box.y[i], box.z[i]);
    }
}

void RotateToView(PuzzleGame& game, Matrix34& m) {
    const float angles[3] = {game.m_viewAngleY, game.m_viewAngleZ, game.m_viewAngleX};
    std::uint32_t bits[3] = {};
    std::memcpy(bits, angles, sizeof bits);  // -0 and +0 give different matrices
    ViewRotationCache& last = game.m_viewRotation;
    if (last.built && bits[0] == last.angleBits[0] && bits[1] == last.angleBits[1] && bits[2] == last.angleBits[2]) {
        m = last.matrix;
        return;
    }
    m.SetIdentity();
    m.RotateY(static_cast<double>(angles[0]));
    m.RotateZ(static_cast<double>(angles[1]));
    m.RotateX(static_cast<double>(angles[2]));
    std::memcpy(last.angleBits, bits, sizeof bits);
    last.matrix = m;
    last.built = true;
}

void PlaceOnScreen(float scale, Matrix34& m) {
    ScaleMatrix(m, scale, -scale, scale);
    TranslateMatrix(m, kViewCentre.x, kViewCentre.y, kViewCentre.z);
}

void BuildViewMatrix(PuzzleGame& game, Matrix34& view) {
    RotateToView(game, view);
    PlaceOnScreen(game.m_scale, view);
}

void RefreshView(PuzzleGame& game) {
    BuildViewMatrix(game, game.m_viewMatrix);
    for (Piece& piece : game.m_pieces) {
        ProjectPiece(piece, game.m_viewMatrix);
    }
    ProjectBox(game.m_outerBox, game.m_viewMatrix);
    game.InvalidateFrame();
}

namespace {

// The device's own test: the directions of both edges in degrees, their difference wrapped
// into [-180, 180]. The atan2 runs in double and is narrowed before the float degree factor.
bool FacingAwayByAngles(int dx1, int dy1, int dx2, int dy2) {
    const double a1 = CrtAtan2(static_cast<double>(dx1), static_cast<double>(dy1));
    const double a2 = CrtAtan2(static_cast<double>(dx2), static_cast<double>(dy2));
    const float deg1 = static_cast<float>(a1) * kRadToDeg;
    const float deg2 = static_cast<float>(a2) * kRadToDeg;
    float d = deg2 - deg1;
    if (d > 180.0F) {
        d -= 360.0F;
    }
    if (d < -180.0F) {
        d += 360.0F;
    }
    return d >= 0.0F;
}

// sin^2 of the smallest turn between the edges that the cross product decides alone.
constexpr double kClearTurn = 1.0 / (1024.0 * 1024.0);

bool FacingAway(const int* sx, const int* sy, const int* idx) {
    return FacingAwayFromEdges(sx[idx[1]] - sx[idx[0]], sy[idx[1]] - sy[idx[0]], sx[idx[2]] - sx[idx[1]],
                               sy[idx[2]] - sy[idx[1]]);
}

}  // namespace

// Clockwise on a y-down screen means front-facing. With x = r sin(a) and y = r cos(a), the
// cross product x1 y2 - y1 x2 is -r1 r2 sin(a2 - a1): the angles' answer is its sign, except
// where the rounding of the angles could move their difference across 0 or +-180. That
// rounding stays below 1e-4 degrees (the float narrowing, the float factor 57.295776 against
// 180 / pi, the float products, the difference and the wrap), while a sine above 2^-10 keeps
// the difference 0.056 degrees away from both; the cross product in double cannot change
// sign there either. Parallel, opposite and empty edges take the angles.
bool FacingAwayFromEdges(int dx1, int dy1, int dx2, int dy2) {
    const auto x1 = static_cast<double>(dx1);
    const auto y1 = static_cast<double>(dy1);
    const auto x2 = static_cast<double>(dx2);
    const auto y2 = static_cast<double>(dy2);
    const double cross = x1 * y2 - y1 * x2;
    const double lengths = (x1 * x1 + y1 * y1) * (x2 * x2 + y2 * y2);
    if (cross * cross > kClearTurn * lengths) {
        return cross < 0.0;
    }
    return FacingAwayByAngles(dx1, dy1, dx2, dy2);
}

bool IsFacingAway(const Piece& piece, int face) {
    return FacingAway(piece.sx, piece.sy, piece.faceVertex[face]);
}

bool IsBoxFaceFacingAway(const OuterBox& box, int face) {
    return FacingAway(box.sx, box.sy, box.faceVertex[face]);
}

float MeanDepth(const Piece& piece) {
    float sum = 0.0F;
    for (int i = 0; i < piece.vertexCount; ++i) {
        sum += static_cast<float>(piece.sz[i]);
    }
    return sum / static_cast<float>(piece.vertexCount);
}

void BuildDrawOrder(const PuzzleGame& game, int (&drawOrder)[8]) {
    float key[8];
    for (int i = 0; i < 8; ++i) {
        drawOrder[i] = i;
        key[i] = MeanDepth(game.m_pieces[i]);
    }
    for (int pass = 0; pass < 7; ++pass) {
        for (int j = 0; j < 7; ++j) {
            if (key[j] > key[j + 1]) {
                const float k = key[j];
                key[j] = key[j + 1];
                key[j + 1] = k;
                const int s = drawOrder[j];
                drawOrder[j] = drawOrder[j + 1];
                drawOrder[j + 1] = s;
            }
        }
    }
    if (game.m_turnAxis != Axis::None) {
        // The layer behind is painted whole before the one in front.
        const int rear = game.m_turnLayerFront == 1 ? 0 : 1;
        int sorted[8];
        for (int i = 0; i < 8; ++i) {
            sorted[i] = drawOrder[i];
        }
        int n = 0;
        for (const int slot : sorted) {
            if (game.m_inTurningLayer[slot] == rear) {
                drawOrder[n++] = slot;
            }
        }
        for (const int slot : sorted) {
            if (game.m_inTurningLayer[slot] != rear) {
                drawOrder[n++] = slot;
            }
        }
    }
}
