#include "interaction/turn_choice.h"

#include <cmath>

#include "platform/crt_math.h"
#include "render/projection.h"

namespace {

bool SlotInFace(int slot, int face) {
    for (const int s : kFaceSlots[face]) {
        if (s == slot) {
            return true;
        }
    }
    return false;
}

// The layer of the axis that holds the slot, or -1 for no axis.
int LayerOfAxis(Axis axis, int slot) {
    const int first = kAxisFirstFace[AxisNumber(axis)];
    if (first == -1) {
        return -1;
    }
    return SlotInFace(slot, first) ? first : first + 1;
}

void ClearTouchedAxes(PuzzleGame& game) {
    for (std::uint8_t& flag : game.m_touchedAxis) {
        flag = 0;
    }
}

void TouchAxis(PuzzleGame& game, Axis axis) {
    game.m_touchedAxis[AxisNumber(axis)] = 1;
}

// Screen directions of the model axes and the choice among untouched axes: the turn axis into
// *turnAxis, the reference direction into m_turnRefAngle. Leaves the plain view matrix in
// m_viewMatrix.
void ChooseAxes(PuzzleGame& game, float dragAngle, Axis* turnAxis);

}  // namespace

float AngleDiff(float a, float b) {
    float d = a - b;
    if (d > 180.0F) {
        d -= 360.0F;
    }
    if (d < -180.0F) {
        d += 360.0F;
    }
    return d;
}

float AbsAngleDiff(float a, float b) {
    return std::fabs(AngleDiff(a, b));
}

float ScreenAngle(double right, double up) {
    return static_cast<float>(CrtAtan2(up, right) * static_cast<double>(kRadToDeg));
}

namespace {

void ChooseAxes(PuzzleGame& game, float dragAngle, Axis* turnAxis) {
    BuildViewMatrix(game, game.m_viewMatrix);
    const Matrix34& m = game.m_viewMatrix;
    const float ox = m.TransformX(0.0F, 0.0F, 0.0F);
    const float oy = m.TransformY(0.0F, 0.0F, 0.0F);
    const Point3 ends[4] = {{0, 0, 0}, {1000.0F, 0, 0}, {0, 1000.0F, 0}, {0, 0, 1000.0F}};
    float direction[4] = {};
    float deviation[4] = {};
    for (int k = 1; k <= 3; ++k) {
        const Point3& e = ends[k];
        direction[k] = ScreenAngle(static_cast<double>(m.TransformX(e.x, e.y, e.z) - ox),
                                   static_cast<double>(oy - m.TransformY(e.x, e.y, e.z)));
        float d = AbsAngleDiff(direction[k], dragAngle);
        if (d > 90.0F) {
            d = AngleDiff(180.0F, d);  // the acute angle between the two lines
        }
        deviation[k] = d;
    }
    // Turn about the axis most nearly across the drag; ties go to the earlier axis.
    Axis axis = Axis::None;
    float largest = -999.0F;
    for (int k = 1; k <= 3; ++k) {
        if (game.m_touchedAxis[k] == 0 && deviation[k] > largest) {
            largest = deviation[k];
            axis = static_cast<Axis>(k);
        }
    }
    // Drive it along the axis most nearly parallel to the drag; ties go to the later axis.
    float smallest = 999.0F;
    for (int k = 1; k <= 3; ++k) {
        if (game.m_touchedAxis[k] == 0 && deviation[k] <= smallest) {
            smallest = deviation[k];
            game.m_turnRefAngle = direction[k];
        }
    }
    *turnAxis = axis;
}

}  // namespace

int ChooseTurnFromFace(PuzzleGame& game, int slot, int face, float dragAngle) {
    const Piece& piece = game.m_pieces[slot];
    if (piece.faceColour[face] == kColourGrey) {
        return -1;
    }
    ClearTouchedAxes(game);
    // The face's vertex at the centre of its side of the puzzle names the axis it faces.
    for (int k = 0; k < piece.faceVertexCount[face]; ++k) {
        const int v = piece.faceVertex[face][k];
        const int x = static_cast<int>(piece.x[v]);
        const int y = static_cast<int>(piece.y[v]);
        const int z = static_cast<int>(piece.z[v]);
        if (y == 0 && z == 0) {
            TouchAxis(game, Axis::X);
            game.m_turnSense = x > 0 ? 1 : 0;
            break;
        }
        if (x == 0 && z == 0) {
            TouchAxis(game, Axis::Y);
            game.m_turnSense = y > 0 ? 1 : 0;
            break;
        }
        if (x == 0 && y == 0) {
            TouchAxis(game, Axis::Z);
            game.m_turnSense = z > 0 ? 1 : 0;
            break;
        }
    }
    Axis axis = Axis::None;
    ChooseAxes(game, dragAngle, &axis);
    return LayerOfAxis(axis, slot);
}

int ChooseTurnFromChamfer(PuzzleGame& game, int slot, int face) {
    const Piece& piece = game.m_pieces[slot];
    if (piece.faceColour[face] == kColourGrey) {
        return -1;
    }
    ClearTouchedAxes(game);
    // A chamfer turns about the piece's long axis, through its vertex 0.
    Axis axis = Axis::None;
    if (piece.faceVertexCount[face] >= 1) {
        const int x = static_cast<int>(piece.x[0]);
        const int y = static_cast<int>(piece.y[0]);
        const int z = static_cast<int>(piece.z[0]);
        if (x != 0) {
            axis = Axis::X;
            game.m_turnSense = x > 0 ? 1 : 0;
        } else if (y != 0) {
            axis = Axis::Y;
            game.m_turnSense = y > 0 ? 1 : 0;
        } else if (z != 0) {
            axis = Axis::Z;
            game.m_turnSense = z > 0 ? 1 : 0;
        }
    }
    game.m_turnRefAngle = ScreenAngle(piece.sx[3] - piece.sx[2], piece.sy[2] - piece.sy[3]);
    return LayerOfAxis(axis, slot);
}

int ChooseCubeTurn(PuzzleGame& game, int boxFace, float dragAngle) {
    ClearTouchedAxes(game);
    if (boxFace == 0 || boxFace == 1) {
        TouchAxis(game, Axis::Z);
    } else if (boxFace == 2 || boxFace == 3) {
        TouchAxis(game, Axis::Y);
    } else if (boxFace == 4 || boxFace == 5) {
        TouchAxis(game, Axis::X);
    }
    game.m_turnSense = (boxFace == 0 || boxFace == 2 || boxFace == 5) ? 1 : 0;
    Axis axis = Axis::None;
    ChooseAxes(game, dragAngle, &axis);
    if (axis == Axis::None) {
        return -1;
    }
    return kAxisFirstFace[AxisNumber(axis)] + 1;
}

void SelectTurnFace(PuzzleGame& game, int face) {
    if (face == -1) {
        return;
    }
    game.m_turnFace = face;
    game.m_turnState = TurnState::Chosen;
    game.m_turnAxis = kFaceAxis[face];
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 0;
    }
    for (const int slot : kFaceSlots[face]) {
        game.m_inTurningLayer[slot] = 1;
    }
}

void ShowTurn(PuzzleGame& game) {
    // Every slot gets the same view matrix, with or without the turn: build each once.
    Matrix34 still;
    RotateToView(game, still);
    Matrix34 turned = still;
    if (game.m_turnAxis == Axis::X) {
        turned.RotateX(static_cast<double>(game.m_turnAngleX));
    } else if (game.m_turnAxis == Axis::Y) {
        turned.RotateY(static_cast<double>(game.m_turnAngleY));
    } else if (game.m_turnAxis == Axis::Z) {
        turned.RotateZ(static_cast<double>(game.m_turnAngleZ));
    }
    PlaceOnScreen(game.m_scale, still);
    PlaceOnScreen(game.m_scale, turned);
    Matrix34& viewMatrix = game.m_viewMatrix;
    for (int slot = 0; slot < 8; ++slot) {
        viewMatrix = game.m_inTurningLayer[slot] != 0 ? turned : still;
        ProjectPiece(game.m_pieces[slot], viewMatrix);
    }
    // The box follows slot 7's matrix: in a whole-cube step that is the turned puzzle.
    ProjectBox(game.m_outerBox, viewMatrix);
    const Point3& c = kFaceCentres[game.m_turnFace];
    const int faceDepth = ProjectZ(viewMatrix, c.x, c.y, c.z);
    const int centreDepth = ProjectZ(viewMatrix, kCentrePoint.x, kCentrePoint.y, kCentrePoint.z);
    game.m_turnLayerFront = (faceDepth - centreDepth) > 0 ? 1 : 0;
    game.InvalidateFrame();
}

void FoldTurnIntoView(PuzzleGame& game) {
    ShowTurn(game);
    game.m_savedViewMatrix = game.m_viewMatrix;
    AbsorbCubeRotation(game, game.m_savedViewMatrix);
    game.m_turnAngleX = 0.0F;
    game.m_turnAngleY = 0.0F;
    game.m_turnAngleZ = 0.0F;
}

void AbsorbCubeRotation(PuzzleGame& game, Matrix34 m) {
    m.m[3] -= kViewCentre.x;
    m.m[7] -= kViewCentre.y;
    m.m[11] -= kViewCentre.z;
    const float k = 1.0F / game.m_scale;
    ScaleMatrix(m, k, -k, k);
    const double toDeg = -static_cast<double>(kRadToDeg);

    float vx = 0.0F;
    if (m.m[5] == 0.0F) {
        vx = m.m[9] > 0.0F ? -90.0F : 90.0F;
    } else {
        vx = static_cast<float>(CrtAtan(static_cast<double>(m.m[9] / m.m[5])) * toDeg);
    }
    if (m.m[5] < 0.0F) {
        vx = vx - 180.0F;
    }
    m.RotateX(static_cast<double>(-vx));

    float vz = 0.0F;
    if (m.m[5] == 0.0F) {
        vz = m.m[1] > 0.0F ? -90.0F : 90.0F;
    } else {
        vz = static_cast<float>(CrtAtan(static_cast<double>(m.m[1] / m.m[5])) * toDeg);
    }
    m.RotateZ(static_cast<double>(-vz));

    float vy = 0.0F;
    if (m.m[10] == 0.0F) {
        vy = m.m[2] > 0.0F ? -90.0F : 90.0F;
    } else {
        vy = static_cast<float>(CrtAtan(static_cast<double>(-(m.m[2] / m.m[10]))) * toDeg);
    }
    m.RotateY(static_cast<double>(-vy));
    if (m.m[10] < 0.0F) {
        vy = vy + 180.0F;
    }

    game.m_viewAngleX = vx;
    game.m_viewAngleZ = vz;
    game.m_viewAngleY = vy;
}
