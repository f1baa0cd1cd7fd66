#include "tests/support/drags.h"

#include "model/puzzle.h"
#include "render/projection.h"
#include "shell/commands.h"

void FaceCentre(int slot, int face, int* x, int* y) {
    const Piece& p = g_pieces[slot];
    int sumX = 0;
    int sumY = 0;
    const int n = p.faceVertexCount[face];
    for (int k = 0; k < n; ++k) {
        sumX += p.sx[p.faceVertex[face][k]];
        sumY += p.sy[p.faceVertex[face][k]];
    }
    *x = sumX / n;
    *y = sumY / n;
}

namespace {

// Triangle wave -kSwing..kSwing: the offset, in steps, of phase p.
int SwingOffset(int phase) {
    const int period = 4 * kSwing;
    const int p = phase % period;
    if (p < kSwing) {
        return p;
    }
    if (p < 3 * kSwing) {
        return 2 * kSwing - p;
    }
    return p - 4 * kSwing;
}

bool FindFrontFace(int* x, int* y) {
    BuildDrawOrder(g_game, g_drawOrder);
    const int slot = g_drawOrder[7];
    const Piece& p = g_pieces[slot];
    for (int f = 0; f < p.faceCount; ++f) {
        const int colour = p.faceColour[f];
        if (colour == kColourGrey || colour == kColourWhite || IsFacingAway(p, f)) {
            continue;
        }
        FaceCentre(slot, f, x, y);
        return true;
    }
    return false;
}

}  // namespace

bool LayerDrag::Begin() {
    if (!FindFrontFace(&m_x0, &m_y0)) {
        return false;
    }
    StylusPressed(g_game, m_x0, m_y0);
    StylusMoved(g_game, m_x0, m_y0);  // the first movement picks the piece
    m_phase = 1;
    StylusMoved(g_game, m_x0 + 2 * kStepDx, m_y0 + 2 * kStepDy);  // out of the dead zone
    return g_dragMode == DragMode::Layer && g_game.m_turnState == TurnState::Chosen;
}

void LayerDrag::Step() {
    ++m_phase;
    const int k = 2 + SwingOffset(m_phase);
    StylusMoved(g_game, m_x0 + k * kStepDx, m_y0 + k * kStepDy);
}

void LayerDrag::End() {
    StylusReleased(g_game);
}

namespace {
// Left of the puzzle at every size, inside the drawing area.
constexpr int kCubeX = 12;
constexpr int kCubeY = 135;
}  // namespace

bool CubeDrag::Begin() {
    StylusPressed(g_game, kCubeX, kCubeY);
    StylusMoved(g_game, kCubeX, kCubeY);
    m_phase = 0;
    const float before = g_game.m_viewAngleX + g_game.m_viewAngleY + g_game.m_viewAngleZ;
    Step();
    Step();
    const float after = g_game.m_viewAngleX + g_game.m_viewAngleY + g_game.m_viewAngleZ;
    return g_dragMode == DragMode::WholePuzzle && before != after;
}

void CubeDrag::Step() {
    ++m_phase;
    const int k = SwingOffset(m_phase);
    StylusMoved(g_game, kCubeX + k * kStepDy, kCubeY + k * kStepDx);
}

void CubeDrag::End() {
    StylusReleased(g_game);
}
