#include <cmath>

#include "interaction/hit_test.h"
#include "interaction/turn_choice.h"
#include "model/puzzle.h"
#include "platform/crt_math.h"

namespace {

// Degrees to radians in the drag code, a float constant.
constexpr float kDragDegToRad = 0.017453292F;

// 1.4 x 0.06 as a double: degrees per pixel times the start size.
constexpr double kTurnPerPixel = 0.08399999999999999;

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
        g_pressPending = 1;
        return;
    }
    m_lastX = x;
    m_lastY = y;
    g_dragMode = DragMode::WholePuzzle;
    m_pressX = x;
    m_pressY = y;
    m_pressBoxFace = PickBoxFace(g_outerBox, x, y);
    m_hitFace = m_pressBoxFace;
}

bool PuzzleGame::StylusMove(int x, int y) {
    if (g_pressPending != 0) {
        g_pressPending = 0;
        m_lastX = x;
        m_lastY = y;
        int slot = -1;
        const int face = PickPieceFace(g_drawOrder, x, y, &slot);
        if (face != -1) {
            g_dragMode = DragMode::Layer;
            m_pressX = x;
            m_pressY = y;
            m_hitFace = face;
            m_hitSlot = slot;
        } else {
            g_dragMode = DragMode::WholePuzzle;
            m_pressX = x;
            m_pressY = y;
            m_pressBoxFace = PickBoxFace(g_outerBox, x, y);
            m_hitFace = m_pressBoxFace;
        }
    }
    if (g_dragMode == DragMode::Layer) {
        DragLayer(x, y);
        return true;
    }
    if (g_dragMode == DragMode::WholePuzzle) {
        DragWholeCube(x, y);
        return true;
    }
    return false;
}

void PuzzleGame::DragLayer(int x, int y) {
    const int dx = x - m_pressX;
    const int dy = m_pressY - y;
    const float fdx = static_cast<float>(dx);
    const float fdy = static_cast<float>(dy);
    if (m_turnState == TurnState::NoneChosen && fdx * fdx + fdy * fdy < m_dragThreshold) {
        return;  // inside the dead zone; the first real step covers all the travel
    }
    const int ix = x - m_lastX;
    const int iy = m_lastY - y;
    m_lastX = x;
    m_lastY = y;
    if (m_turnState == TurnState::NoneChosen) {
        const float angle = ScreenAngle(static_cast<double>(fdx), static_cast<double>(fdy));
        const int face = g_pieces[m_hitSlot].faceColour[m_hitFace] == kColourWhite
                             ? ChooseTurnFromChamfer(m_hitSlot, m_hitFace)
                             : ChooseTurnFromFace(m_hitSlot, m_hitFace, angle);
        if (face == -1) {
            return;
        }
        SelectTurnFace(face);
    }
    TurnStep(ix, iy);
    ShowTurn(g_viewMatrix);
}

void PuzzleGame::DragWholeCube(int x, int y) {
    const int ix = x - m_lastX;
    const int iy = m_lastY - y;
    m_lastX = x;
    m_lastY = y;
    if (m_turnState == TurnState::NoneChosen) {
        const float angle = ScreenAngle(x - m_pressX, m_pressY - y);
        const int face = ChooseCubeTurn(m_pressBoxFace, angle);
        if (face == -1) {
            return;
        }
        m_turnState = TurnState::Chosen;
        m_turnFace = face;
        m_turnAxis = g_faceAxis[face];
        for (std::uint8_t& flag : g_inTurningLayer) {
            flag = 1;
        }
    }
    TurnStep(ix, iy);
    ShowTurn(g_viewMatrix);
    g_savedViewMatrix = g_viewMatrix;
    AbsorbCubeRotation(g_savedViewMatrix);
    g_turnAngleX = 0.0F;
    g_turnAngleY = 0.0F;
    g_turnAngleZ = 0.0F;
    g_dragMode = DragMode::None;
    m_turnState = TurnState::NoneChosen;
    StylusDown(x, y, true);
}

void PuzzleGame::TurnStep(int ix, int iy) {
    const float fix = static_cast<float>(ix);
    const float fiy = static_cast<float>(iy);
    const float length = static_cast<float>(std::sqrt(static_cast<double>(fix * fix + fiy * fiy)));
    const double degrees = kTurnPerPixel / static_cast<double>(g_scale) * static_cast<double>(length);
    const int n = static_cast<int>(degrees);
    const float theta = AngleDiff(ScreenAngle(static_cast<double>(fix), static_cast<double>(fiy)), m_turnRefAngle);
    const double radians = static_cast<double>(std::fabs(theta)) * static_cast<double>(kDragDegToRad);
    float delta = static_cast<float>(static_cast<double>(n) * CrtCos(radians));

    // Make the touched point follow the stylus along the reference direction.
    const bool ax = g_touchedAxis[AxisNumber(Axis::X)] != 0;
    const bool ay = g_touchedAxis[AxisNumber(Axis::Y)] != 0;
    const bool az = g_touchedAxis[AxisNumber(Axis::Z)] != 0;
    const bool none = !ax && !ay && !az;
    const bool sense = g_turnSense != 0;
    const int f = m_turnFace;
    const bool negate = (ay && sense) || (ax && !sense) || (az && sense && (f == 4 || f == 5)) ||
                        (az && !sense && (f == 2 || f == 3)) || (none && sense && f == 0) ||
                        (none && !sense && (f == 2 || f == 5));
    if (negate) {
        delta = -delta;
    }
    if (f == 0 || f == 1) {
        g_turnAngleZ = AdvanceAngle(g_turnAngleZ, delta);
    } else if (f == 2 || f == 3) {
        g_turnAngleX = AdvanceAngle(g_turnAngleX, delta);
    } else {
        g_turnAngleY = AdvanceAngle(g_turnAngleY, delta);
    }
}

void PuzzleGame::StylusUp() {
    if (g_dragMode == DragMode::Layer) {
        FinishLayerTurn();  // the mode stays Layer until the next press is set up
        return;
    }
    g_savedViewMatrix = g_viewMatrix;
    AbsorbCubeRotation(g_savedViewMatrix);
    g_turnAngleY = 0.0F;
    g_turnAngleZ = 0.0F;
    m_turnState = TurnState::NoneChosen;
    g_dragMode = DragMode::None;
    g_turnAngleX = 0.0F;
}
