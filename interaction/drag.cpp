#include "interaction/drag.h"

#include <cmath>

#include "interaction/commit.h"
#include "interaction/hit_test.h"
#include "interaction/moves.h"
#include "interaction/turn_choice.h"
#include "platform/crt_math.h"

namespace {

// Degrees to radians in the drag code, a float constant.
constexpr float kDragDegToRad = 0.017453292F;

// 1.4 x 0.06 as a double: degrees per pixel times the start size.
constexpr double kTurnPerPixel = 0.08399999999999999;

// The window message carries each coordinate in 16 bits.
constexpr int kMessageCoordinateMask = 0xFFFF;

// Whole degrees 0..359 whatever the step: a stylus left of or above the window
// reports coordinates near 65535.
float AdvanceAngle(float angle, float delta) {
    int whole = static_cast<int>(angle + delta + 360.0F) % 360;
    if (whole < 0) {
        whole += 360;
    }
    return static_cast<float>(whole);
}

}  // namespace

void PuzzleGame::StylusDown(int x, int y, bool restart) {
    if (!restart) {
        // The point is not used: the drag is set up at the first movement.
        m_stylusHeld = true;
        m_pressPending = 1;
        InvalidateFrame();
        return;
    }
    m_lastX = x;
    m_lastY = y;
    m_dragMode = DragMode::WholePuzzle;
    m_pressX = x;
    m_pressY = y;
    m_pressBoxFace = PickBoxFace(m_outerBox, x, y);
    m_hitFace = m_pressBoxFace;
}

bool PuzzleGame::StylusMove(int x, int y) {
    if (!m_stylusHeld) {
        return false;
    }
    x &= kMessageCoordinateMask;
    y &= kMessageCoordinateMask;
    if (m_pressPending != 0) {
        m_pressPending = 0;
        m_lastX = x;
        m_lastY = y;
        int slot = -1;
        const int face = PickPieceFace(m_pieces, m_drawOrder, x, y, &slot);
        if (face != -1) {
            m_dragMode = DragMode::Layer;
            m_pressX = x;
            m_pressY = y;
            m_hitFace = face;
            m_hitSlot = slot;
        } else {
            m_dragMode = DragMode::WholePuzzle;
            m_pressX = x;
            m_pressY = y;
            m_pressBoxFace = PickBoxFace(m_outerBox, x, y);
            m_hitFace = m_pressBoxFace;
        }
    }
    if (m_dragMode == DragMode::Layer) {
        DragLayer(*this, x, y);
        return true;
    }
    if (m_dragMode == DragMode::WholePuzzle) {
        DragWholeCube(*this, x, y);
        return true;
    }
    return false;
}

void PuzzleGame::StylusUp() {
    m_stylusHeld = false;
    if (m_dragMode == DragMode::Layer) {
        // The mode stays Layer until the next press is set up. A whole turn moves nothing: no move.
        const int quarters = FinishLayerTurn(*this) % 4;
        if (quarters != 0) {
            RecordMove(*this, FaceTurn{m_turnFace, quarters});
        }
    } else {
        m_savedViewMatrix = m_viewMatrix;
        AbsorbCubeRotation(*this, m_savedViewMatrix);
        m_turnAngleY = 0.0F;
        m_turnAngleZ = 0.0F;
        m_turnState = TurnState::NoneChosen;
        m_dragMode = DragMode::None;
        m_turnAngleX = 0.0F;
    }
    InvalidateFrame();
}

void DragLayer(PuzzleGame& game, int x, int y) {
    const int dx = x - game.m_pressX;
    const int dy = game.m_pressY - y;
    const float fdx = static_cast<float>(dx);
    const float fdy = static_cast<float>(dy);
    if (game.m_turnState == TurnState::NoneChosen && fdx * fdx + fdy * fdy < game.m_dragThreshold) {
        return;  // inside the dead zone; the first real step covers all the travel
    }
    const int ix = x - game.m_lastX;
    const int iy = game.m_lastY - y;
    game.m_lastX = x;
    game.m_lastY = y;
    if (game.m_turnState == TurnState::NoneChosen) {
        const float angle = ScreenAngle(static_cast<double>(fdx), static_cast<double>(fdy));
        const int slot = game.m_hitSlot;
        const int face = game.m_pieces[slot].faceColour[game.m_hitFace] == kColourWhite
                             ? ChooseTurnFromChamfer(game, slot, game.m_hitFace)
                             : ChooseTurnFromFace(game, slot, game.m_hitFace, angle);
        if (face == -1) {
            return;
        }
        SelectTurnFace(game, face);
    }
    TurnStep(game, ix, iy);
    ShowTurn(game);
}

void DragWholeCube(PuzzleGame& game, int x, int y) {
    const int ix = x - game.m_lastX;
    const int iy = game.m_lastY - y;
    game.m_lastX = x;
    game.m_lastY = y;
    if (game.m_turnState == TurnState::NoneChosen) {
        const float angle = ScreenAngle(x - game.m_pressX, game.m_pressY - y);
        const int face = ChooseCubeTurn(game, game.m_pressBoxFace, angle);
        if (face == -1) {
            return;
        }
        game.m_turnState = TurnState::Chosen;
        game.m_turnFace = face;
        game.m_turnAxis = kFaceAxis[face];
        for (std::uint8_t& flag : game.m_inTurningLayer) {
            flag = 1;
        }
    }
    TurnStep(game, ix, iy);
    FoldTurnIntoView(game);
    game.m_dragMode = DragMode::None;
    game.m_turnState = TurnState::NoneChosen;
    game.StylusDown(x, y, true);
}

void TurnStep(PuzzleGame& game, int ix, int iy) {
    const float fix = static_cast<float>(ix);
    const float fiy = static_cast<float>(iy);
    const float length = static_cast<float>(std::sqrt(static_cast<double>(fix * fix + fiy * fiy)));
    const double degrees = kTurnPerPixel / static_cast<double>(game.m_scale) * static_cast<double>(length);
    const int n = static_cast<int>(degrees);
    const float theta = AngleDiff(ScreenAngle(static_cast<double>(fix), static_cast<double>(fiy)), game.m_turnRefAngle);
    const double radians = static_cast<double>(std::fabs(theta)) * static_cast<double>(kDragDegToRad);
    float delta = static_cast<float>(static_cast<double>(n) * CrtCos(radians));

    // Make the touched point follow the stylus along the reference direction.
    const bool ax = game.m_touchedAxis[AxisNumber(Axis::X)] != 0;
    const bool ay = game.m_touchedAxis[AxisNumber(Axis::Y)] != 0;
    const bool az = game.m_touchedAxis[AxisNumber(Axis::Z)] != 0;
    const bool none = !ax && !ay && !az;
    const bool sense = game.m_turnSense != 0;
    const int f = game.m_turnFace;
    const bool negate = (ay && sense) || (ax && !sense) || (az && sense && (f == 4 || f == 5)) ||
                        (az && !sense && (f == 2 || f == 3)) || (none && sense && f == 0) ||
                        (none && !sense && (f == 2 || f == 5));
    if (negate) {
        delta = -delta;
    }
    if (f == 0 || f == 1) {
        game.m_turnAngleZ = AdvanceAngle(game.m_turnAngleZ, delta);
    } else if (f == 2 || f == 3) {
        game.m_turnAngleX = AdvanceAngle(game.m_turnAngleX, delta);
    } else {
        game.m_turnAngleY = AdvanceAngle(game.m_turnAngleY, delta);
    }
}
