#include "tests/support/puzzle_invariants.h"

#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "interaction/commit.h"
#include "render/projection.h"

const int kSlotSigns[8][3] = {{1, 1, 1},  {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},
                              {1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}};

bool IsModelCoordinate(float v) {
    return v == 0.0F || v == 414.0F || v == -414.0F || v == 500.0F || v == -500.0F || v == 1000.0F || v == -1000.0F;
}

bool InSlotCorner(const Piece& piece, int slot) {
    const float corner[3] = {piece.x[2], piece.y[2], piece.z[2]};
    for (int k = 0; k < 3; ++k) {
        const int sign = corner[k] > 0.0F ? 1 : (corner[k] < 0.0F ? -1 : 0);
        if (sign != kSlotSigns[slot][k]) {
            return false;
        }
    }
    return true;
}

namespace {

std::string Problem(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Problem(const char* format, ...) {
    char buf[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

bool SameColours(const Piece& a, const Piece& b) {
    return std::memcmp(a.faceColour, b.faceColour, sizeof a.faceColour) == 0 &&
           std::memcmp(a.stickerColour, b.stickerColour, sizeof a.stickerColour) == 0;
}

// Faces, stickers and their vertex lists never change; only coordinates do.
bool SameTopology(const Piece& a, const Piece& b) {
    return a.vertexCount == b.vertexCount && a.faceCount == b.faceCount && a.stickerCount == b.stickerCount &&
           std::memcmp(a.faceVertex, b.faceVertex, sizeof a.faceVertex) == 0 &&
           std::memcmp(a.stickerVertex, b.stickerVertex, sizeof a.stickerVertex) == 0 &&
           std::memcmp(a.faceSticker, b.faceSticker, sizeof a.faceSticker) == 0 &&
           std::memcmp(a.faceVertexCount, b.faceVertexCount, sizeof a.faceVertexCount) == 0 &&
           std::memcmp(a.stickerVertexCount, b.stickerVertexCount, sizeof a.stickerVertexCount) == 0;
}

long long SquaredDistance(const Piece& p, int i, int j) {
    const long long dx = static_cast<long long>(p.x[i]) - static_cast<long long>(p.x[j]);
    const long long dy = static_cast<long long>(p.y[i]) - static_cast<long long>(p.y[j]);
    const long long dz = static_cast<long long>(p.z[i]) - static_cast<long long>(p.z[j]);
    return dx * dx + dy * dy + dz * dz;
}

// Sign of the volume spanned from vertex 5 (the puzzle centre) to vertices 1, 4 and 0:
// a rotation keeps it, a mirror image flips it.
int Handedness(const Piece& p) {
    auto edge = [&p](int v) {
        return std::array<double, 3>{static_cast<double>(p.x[v] - p.x[5]), static_cast<double>(p.y[v] - p.y[5]),
                                     static_cast<double>(p.z[v] - p.z[5])};
    };
    const std::array<double, 3> a = edge(1);
    const std::array<double, 3> b = edge(4);
    const std::array<double, 3> c = edge(0);
    const double det =
        a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    return det > 0.0 ? 1 : (det < 0.0 ? -1 : 0);
}

}  // namespace

bool SameModel(const Piece& a, const Piece& b) {
    return std::memcmp(a.x, b.x, sizeof a.x) == 0 && std::memcmp(a.y, b.y, sizeof a.y) == 0 &&
           std::memcmp(a.z, b.z, sizeof a.z) == 0 && SameColours(a, b);
}

bool SameModels(const Piece (&a)[8], const Piece (&b)[8]) {
    for (int slot = 0; slot < 8; ++slot) {
        if (!SameModel(a[slot], b[slot])) {
            return false;
        }
    }
    return true;
}

namespace {

// The piece is the start piece turned about the puzzle centre: centre fixed, every distance kept,
// not mirrored.
bool IsTurnedCopy(const Piece& now, const Piece& start) {
    if (now.x[5] != 0.0F || now.y[5] != 0.0F || now.z[5] != 0.0F) {
        return false;
    }
    for (int i = 0; i < now.vertexCount; ++i) {
        for (int j = i + 1; j < now.vertexCount; ++j) {
            if (SquaredDistance(now, i, j) != SquaredDistance(start, i, j)) {
                return false;
            }
        }
    }
    return Handedness(now) == Handedness(start) && Handedness(now) != 0;
}

std::string CheckPieces(PieceCatalogue& catalogue, const PuzzleGame& game) {
    bool used[8] = {};
    int faceCount[8] = {};
    int stickerCount[8] = {};
    for (int slot = 0; slot < 8; ++slot) {
        const Piece& p = game.m_pieces[slot];
        if (p.vertexCount != 12 || p.faceCount != 7 || p.stickerCount != 3) {
            return Problem("slot %d: counts %d/%d/%d", slot, p.vertexCount, p.faceCount, p.stickerCount);
        }
        for (int v = 0; v < p.vertexCount; ++v) {
            if (!IsModelCoordinate(p.x[v]) || !IsModelCoordinate(p.y[v]) || !IsModelCoordinate(p.z[v])) {
                return Problem("slot %d vertex %d: model point (%.9g, %.9g, %.9g) off the grid", slot, v,
                               static_cast<double>(p.x[v]), static_cast<double>(p.y[v]), static_cast<double>(p.z[v]));
            }
        }
        int which = -1;
        for (int i = 0; i < 8; ++i) {
            if (SameColours(p, catalogue.start[i])) {
                which = i;
            }
        }
        if (which == -1) {
            return Problem("slot %d holds a piece with colours no start piece has", slot);
        }
        if (used[which]) {
            return Problem("start piece %d is in two slots (second: slot %d)", which, slot);
        }
        used[which] = true;
        if (!SameTopology(p, catalogue.start[which])) {
            return Problem("slot %d (start piece %d): faces or stickers changed", slot, which);
        }
        if (!SameModel(p, catalogue.verified[slot])) {
            if (!IsTurnedCopy(p, catalogue.start[which])) {
                return Problem("slot %d (start piece %d): shape is not the start piece turned", slot, which);
            }
            catalogue.verified[slot] = p;
        }
        if (!InSlotCorner(p, slot)) {
            return Problem("slot %d (start piece %d): corner (%g, %g, %g) lies in another slot", slot, which,
                           static_cast<double>(p.x[2]), static_cast<double>(p.y[2]), static_cast<double>(p.z[2]));
        }
        for (int f = 0; f < p.faceCount; ++f) {
            if (p.faceColour[f] < 0 || p.faceColour[f] > 7) {
                return Problem("slot %d face %d: colour %d", slot, f, p.faceColour[f]);
            }
            ++faceCount[p.faceColour[f]];
        }
        for (int s = 0; s < p.stickerCount; ++s) {
            if (p.stickerColour[s] < 0 || p.stickerColour[s] > 7) {
                return Problem("slot %d sticker %d: colour %d", slot, s, p.stickerColour[s]);
            }
            ++stickerCount[p.stickerColour[s]];
        }
    }
    for (int c = 0; c < 8; ++c) {
        if (faceCount[c] != catalogue.faceColourCount[c] || stickerCount[c] != catalogue.stickerColourCount[c]) {
            return Problem("colour %d: %d faces and %d stickers, %d and %d at start", c, faceCount[c], stickerCount[c],
                           catalogue.faceColourCount[c], catalogue.stickerColourCount[c]);
        }
    }
    return {};
}

bool IsWholeAngle(float a) {
    return a >= 0.0F && a <= 359.0F && a == std::floor(a);
}

std::string CheckTurnState(const PuzzleGame& game) {
    // The codes as numbers: a stray store would leave a value no enumerator names.
    const int dragMode = static_cast<int>(game.m_dragMode);
    const int turnState = static_cast<int>(game.m_turnState);
    const int turnAxis = AxisNumber(game.m_turnAxis);
    if (dragMode < 0 || dragMode > 2) {
        return Problem("drag mode %d", dragMode);
    }
    if (turnState != -1 && turnState != 0) {
        return Problem("turn state %d", turnState);
    }
    if (game.m_turnFace < 0 || game.m_turnFace > 5 || turnAxis < 0 || turnAxis > 3) {
        return Problem("turn face %d, axis %d", game.m_turnFace, turnAxis);
    }
    if (game.m_hitSlot < 0 || game.m_hitSlot > 7 || game.m_hitFace < -1 || game.m_hitFace > 6) {
        return Problem("hit slot %d, face %d", game.m_hitSlot, game.m_hitFace);
    }
    for (int slot = 0; slot < 8; ++slot) {
        if (game.m_inTurningLayer[slot] > 1) {
            return Problem("turning flag of slot %d is %d", slot, game.m_inTurningLayer[slot]);
        }
    }
    const float angles[3] = {game.m_turnAngleX, game.m_turnAngleY, game.m_turnAngleZ};
    // Only a chosen layer turn leaves an angle standing between events.
    const bool turning = game.m_dragMode == DragMode::Layer && game.m_turnState == TurnState::Chosen;
    for (int k = 0; k < 3; ++k) {
        const bool allowed = turning && turnAxis == k + 1;
        if (!IsWholeAngle(angles[k]) || (!allowed && angles[k] != 0.0F)) {
            return Problem("turn angles (%.9g, %.9g, %.9g) with drag mode %d, turn state %d, axis %d",
                           static_cast<double>(angles[0]), static_cast<double>(angles[1]),
                           static_cast<double>(angles[2]), dragMode, turnState, turnAxis);
        }
    }
    return {};
}

std::string CheckView(const PuzzleGame& game) {
    const float view[3] = {game.m_viewAngleX, game.m_viewAngleY, game.m_viewAngleZ};
    for (const float a : view) {
        // The fold leaves X in -270..90, Y in -90..270 and Z in -90..90.
        if (!std::isfinite(a) || std::fabs(a) > 270.01F) {
            return Problem("view angles (%.9g, %.9g, %.9g)", static_cast<double>(view[0]), static_cast<double>(view[1]),
                           static_cast<double>(view[2]));
        }
    }
    if (!(game.m_scale >= 0.0399F && game.m_scale <= 0.0801F)) {
        return Problem("scale %.9g", static_cast<double>(game.m_scale));
    }
    // However the puzzle is turned it stays inside a circle of radius 1733 model units
    // (139 pixels at the largest size) around the centre of the drawing area.
    auto onScreen = [](int sx, int sy, int sz) {
        return sx > -30 && sx < 270 && sy > -15 && sy < 285 && sz > -120 && sz < 185;
    };
    for (int slot = 0; slot < 8; ++slot) {
        const Piece& p = game.m_pieces[slot];
        for (int v = 0; v < p.vertexCount; ++v) {
            if (!onScreen(p.sx[v], p.sy[v], p.sz[v])) {
                return Problem("slot %d vertex %d projected to (%d, %d, %d)", slot, v, p.sx[v], p.sy[v], p.sz[v]);
            }
        }
    }
    for (int v = 0; v < 8; ++v) {
        if (!onScreen(game.m_outerBox.sx[v], game.m_outerBox.sy[v], game.m_outerBox.sz[v])) {
            return Problem("box corner %d projected to (%d, %d, %d)", v, game.m_outerBox.sx[v], game.m_outerBox.sy[v],
                           game.m_outerBox.sz[v]);
        }
    }
    bool seen[8] = {};
    for (const int slot : game.m_drawOrder) {
        if (slot < 0 || slot > 7 || seen[slot]) {
            return Problem("draw order is not a permutation of the slots");
        }
        seen[slot] = true;
    }
    return {};
}

}  // namespace

void RecordStartPieces(const PuzzleGame& game, PieceCatalogue* catalogue) {
    *catalogue = PieceCatalogue{};
    for (int slot = 0; slot < 8; ++slot) {
        const Piece& p = game.m_pieces[slot];
        catalogue->start[slot] = p;
        catalogue->verified[slot] = p;
        for (int f = 0; f < p.faceCount; ++f) {
            ++catalogue->faceColourCount[p.faceColour[f]];
        }
        for (int s = 0; s < p.stickerCount; ++s) {
            ++catalogue->stickerColourCount[p.stickerColour[s]];
        }
    }
}

std::string CheckPuzzle(PieceCatalogue& catalogue, const PuzzleGame& game) {
    std::string problem = CheckPieces(catalogue, game);
    if (problem.empty()) {
        problem = CheckTurnState(game);
    }
    if (problem.empty()) {
        problem = CheckView(game);
    }
    return problem;
}

std::string CheckAfterLayerRelease(const PuzzleGame& game, bool shuffleShown, bool newSkinShown) {
    const bool solved = IsSolved(game.m_pieces);
    if ((game.m_solved != 0) != solved) {
        return Problem("after a layer turn game.m_solved is %d but the puzzle is %s", game.m_solved,
                       solved ? "solved" : "not solved");
    }
    if (shuffleShown != solved || newSkinShown != solved) {
        return Problem("after a layer turn the buttons show %d/%d on a %s puzzle", shuffleShown ? 1 : 0,
                       newSkinShown ? 1 : 0, solved ? "solved" : "mixed");
    }
    if (game.m_turnState != TurnState::NoneChosen || game.m_turnAngleX != 0.0F || game.m_turnAngleY != 0.0F ||
        game.m_turnAngleZ != 0.0F) {
        return Problem("after a layer turn a turn is still in progress");
    }
    for (const std::uint8_t flag : game.m_inTurningLayer) {
        if (flag != 0) {
            return Problem("after a layer turn a slot is still marked as turning");
        }
    }
    return {};
}

double ViewRotationError(const PuzzleGame& game) {
    Matrix34 m{};
    PuzzleGame copy = game;  // building the view keeps a rotation in the game
    BuildViewMatrix(copy, m);
    const double s = static_cast<double>(game.m_scale);
    const double rowScale[3] = {s, -s, s};
    double r[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r[i][j] = static_cast<double>(m.m[i * 4 + j]) / rowScale[i];
        }
    }
    double error = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double dot = 0.0;
            for (int k = 0; k < 3; ++k) {
                dot += r[i][k] * r[j][k];
            }
            error = std::fmax(error, std::fabs(dot - (i == j ? 1.0 : 0.0)));
        }
    }
    const double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                       r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                       r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    error = std::fmax(error, std::fabs(det - 1.0));
    const double translation[3] = {static_cast<double>(m.m[3]) - 120.0, static_cast<double>(m.m[7]) - 135.0,
                                   static_cast<double>(m.m[11]) - 32.0};
    for (const double t : translation) {
        error = std::fmax(error, std::fabs(t));
    }
    // fmax drops NaN: look for it explicitly.
    for (const float v : m.m) {
        if (!std::isfinite(v)) {
            return std::nan("");
        }
    }
    return error;
}

namespace {

template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

std::string StateDifference(const PuzzleGame& a, const PuzzleGame& b) {
    const ViewRotationCache& ra = a.m_viewRotation;
    const ViewRotationCache& rb = b.m_viewRotation;
    const struct {
        const char* name;
        bool same;
    } fields[] = {
        {"pieces", SameBytes(a.m_pieces, b.m_pieces)},
        {"spare slot", SameBytes(a.m_spareSlot, b.m_spareSlot)},
        {"outer box", SameBytes(a.m_outerBox, b.m_outerBox)},
        {"solved", a.m_solved == b.m_solved},
        {"view angles", SameBytes(a.m_viewAngleX, b.m_viewAngleX) && SameBytes(a.m_viewAngleY, b.m_viewAngleY) &&
                            SameBytes(a.m_viewAngleZ, b.m_viewAngleZ)},
        {"scale", SameBytes(a.m_scale, b.m_scale)},
        {"skin", a.m_skin == b.m_skin},
        {"view matrix", SameBytes(a.m_viewMatrix, b.m_viewMatrix)},
        {"saved view matrix", SameBytes(a.m_savedViewMatrix, b.m_savedViewMatrix)},
        {"view rotation",
         ra.built == rb.built && SameBytes(ra.angleBits, rb.angleBits) && SameBytes(ra.matrix, rb.matrix)},
        {"draw order", SameBytes(a.m_drawOrder, b.m_drawOrder)},
        {"stylus held", a.m_stylusHeld == b.m_stylusHeld},
        {"drag mode", a.m_dragMode == b.m_dragMode},
        {"press pending", a.m_pressPending == b.m_pressPending},
        {"turn axis", a.m_turnAxis == b.m_turnAxis},
        {"turn layer front", a.m_turnLayerFront == b.m_turnLayerFront},
        {"turn state", a.m_turnState == b.m_turnState},
        {"turn face", a.m_turnFace == b.m_turnFace},
        {"hit", a.m_hitSlot == b.m_hitSlot && a.m_hitFace == b.m_hitFace && a.m_pressBoxFace == b.m_pressBoxFace},
        {"press point", a.m_pressX == b.m_pressX && a.m_pressY == b.m_pressY},
        {"last point", a.m_lastX == b.m_lastX && a.m_lastY == b.m_lastY},
        {"turn reference", SameBytes(a.m_turnRefAngle, b.m_turnRefAngle)},
        {"drag threshold", SameBytes(a.m_dragThreshold, b.m_dragThreshold)},
        {"turn angles", SameBytes(a.m_turnAngleX, b.m_turnAngleX) && SameBytes(a.m_turnAngleY, b.m_turnAngleY) &&
                            SameBytes(a.m_turnAngleZ, b.m_turnAngleZ)},
        {"turning layer", SameBytes(a.m_inTurningLayer, b.m_inTurningLayer)},
        {"touched axis", SameBytes(a.m_touchedAxis, b.m_touchedAxis) && a.m_turnSense == b.m_turnSense},
        {"turn matrix", SameBytes(a.m_turnMatrix, b.m_turnMatrix)},
        {"base pieces", SameBytes(a.m_basePieces, b.m_basePieces)},
        {"moves",
         a.m_history.count == b.m_history.count &&
             std::memcmp(a.m_history.entries, b.m_history.entries, static_cast<std::size_t>(a.m_history.count)) == 0 &&
             a.m_history.cursor == b.m_history.cursor && a.m_history.dropped == b.m_history.dropped &&
             a.m_history.moves == b.m_history.moves},
        {"shuffled",
         a.m_shuffled == b.m_shuffled && a.m_shuffleCount == b.m_shuffleCount && a.m_checked == b.m_checked},
        {"random state", a.m_random.State() == b.m_random.State()},
        {"host", a.m_host == b.m_host},
    };
    for (const auto& field : fields) {
        if (!field.same) {
            return field.name;
        }
    }
    return {};
}
