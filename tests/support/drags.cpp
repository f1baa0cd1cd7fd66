#include "tests/support/drags.h"

#include "model/puzzle.h"
#include "render/projection.h"

void FaceCentre(const PuzzleGame& game, int slot, int face, int* x, int* y) {
    const Piece& p = game.m_pieces[slot];
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

bool FindFrontFace(PuzzleGame& game, int* x, int* y) {
    BuildDrawOrder(game, game.m_drawOrder);
    const int slot = game.m_drawOrder[7];
    const Piece& p = game.m_pieces[slot];
    for (int f = 0; f < p.faceCount; ++f) {
        const int colour = p.faceColour[f];
        if (colour == kColourGrey || colour == kColourWhite || IsFacingAway(p, f)) {
            continue;
        }
        FaceCentre(game, slot, f, x, y);
        return true;
    }
    return false;
}

}  // namespace

bool LayerDrag::Begin() {
    PuzzleGame& game = m_game;
    if (!FindFrontFace(game, &m_x0, &m_y0)) {
        return false;
    }
    game.StylusDown(m_x0, m_y0);
    game.StylusMove(m_x0, m_y0);  // the first movement picks the piece
    m_phase = 1;
    game.StylusMove(m_x0 + 2 * kStepDx, m_y0 + 2 * kStepDy);  // out of the dead zone
    return game.m_dragMode == DragMode::Layer && game.m_turnState == TurnState::Chosen;
}

void LayerDrag::Step() {
    PuzzleGame& game = m_game;
    ++m_phase;
    const int k = 2 + SwingOffset(m_phase);
    game.StylusMove(m_x0 + k * kStepDx, m_y0 + k * kStepDy);
}

void LayerDrag::End() {
    m_game.StylusUp();
}

namespace {
// Left of the puzzle at every size, inside the drawing area.
constexpr int kCubeX = 12;
constexpr int kCubeY = 135;
}  // namespace

bool CubeDrag::Begin() {
    PuzzleGame& game = m_game;
    game.StylusDown(kCubeX, kCubeY);
    game.StylusMove(kCubeX, kCubeY);
    m_phase = 0;
    const float before = game.m_viewAngleX + game.m_viewAngleY + game.m_viewAngleZ;
    Step();
    Step();
    const float after = game.m_viewAngleX + game.m_viewAngleY + game.m_viewAngleZ;
    return game.m_dragMode == DragMode::WholePuzzle && before != after;
}

void CubeDrag::Step() {
    PuzzleGame& game = m_game;
    ++m_phase;
    const int k = SwingOffset(m_phase);
    game.StylusMove(kCubeX + k * kStepDy, kCubeY + k * kStepDx);
}

void CubeDrag::End() {
    m_game.StylusUp();
}
