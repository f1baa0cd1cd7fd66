#include "interaction/view_turns.h"

#include <cmath>

#include "interaction/commit.h"
#include "interaction/turn_choice.h"
#include "render/projection.h"

namespace {

// Where each model axis points in the view: right, up, toward the viewer.
struct ViewAxes {
    float right[3];
    float up[3];
    float toward[3];
};

ViewAxes AxesOf(const PuzzleGame& game) {
    Matrix34 m{};
    m.SetIdentity();
    m.RotateY(static_cast<double>(game.m_viewAngleY));
    m.RotateZ(static_cast<double>(game.m_viewAngleZ));
    m.RotateX(static_cast<double>(game.m_viewAngleX));
    // The view flips the model's y before it turns it, and the screen's y points down: row k
    // of the rotation is where axis k goes, in screen x, y (down) and depth, y's row negated.
    constexpr float kFlip[3] = {1.0F, -1.0F, 1.0F};
    ViewAxes a{};
    for (int k = 0; k < 3; ++k) {
        a.right[k] = kFlip[k] * m.m[k * 4];
        a.up[k] = -kFlip[k] * m.m[k * 4 + 1];
        a.toward[k] = kFlip[k] * m.m[k * 4 + 2];
    }
    return a;
}

// The turn face on the + or - end of model axis k (0 x, 1 y, 2 z).
constexpr int kFaceOnAxis[3][2] = {{3, 2}, {4, 5}, {0, 1}};  // {+, -}

int FaceOn(int axis, float sign) {
    return kFaceOnAxis[axis][sign >= 0.0F ? 0 : 1];
}

// The axis with the largest part along `along` among those not yet taken.
int Largest(const float (&along)[3], const bool (&taken)[3]) {
    int best = -1;
    for (int k = 0; k < 3; ++k) {
        if (!taken[k] && (best < 0 || std::fabs(along[k]) > std::fabs(along[best]))) {
            best = k;
        }
    }
    return best;
}

// The six sides of the view, as turn faces: front first (nearest the viewer), then up, then
// right, each side's opposite with it.
void ViewSides(const PuzzleGame& game, int (&faces)[kViewFaceCount]) {
    const ViewAxes a = AxesOf(game);
    bool taken[3] = {};
    const int front = Largest(a.toward, taken);
    taken[front] = true;
    const int up = Largest(a.up, taken);
    taken[up] = true;
    const int right = Largest(a.right, taken);
    faces[static_cast<int>(ViewFace::Front)] = FaceOn(front, a.toward[front]);
    faces[static_cast<int>(ViewFace::Back)] = FaceOn(front, -a.toward[front]);
    faces[static_cast<int>(ViewFace::Up)] = FaceOn(up, a.up[up]);
    faces[static_cast<int>(ViewFace::Down)] = FaceOn(up, -a.up[up]);
    faces[static_cast<int>(ViewFace::Right)] = FaceOn(right, a.right[right]);
    faces[static_cast<int>(ViewFace::Left)] = FaceOn(right, -a.right[right]);
}

}  // namespace

int ModelFaceOf(const PuzzleGame& game, ViewFace side) {
    int faces[kViewFaceCount];
    ViewSides(game, faces);
    return faces[static_cast<int>(side)];
}

ViewFace ViewFaceOf(const PuzzleGame& game, int face) {
    int faces[kViewFaceCount];
    ViewSides(game, faces);
    for (int v = 0; v < kViewFaceCount; ++v) {
        if (faces[v] == face) {
            return static_cast<ViewFace>(v);
        }
    }
    return ViewFace::Front;
}

int ClockwiseQuarters(int face) {
    // A positive quarter turn is -90 degrees about X and Y and +90 about Z: clockwise seen from
    // +X, +Y and -Z, anticlockwise from the other three.
    constexpr int kClockwise[6] = {3, 1, 3, 1, 1, 3};
    return kClockwise[face];
}

FaceTurn ViewTurn(const PuzzleGame& game, ViewFace side, int clockwiseQuarters) {
    const int face = ModelFaceOf(game, side);
    return FaceTurn{face, (ClockwiseQuarters(face) * clockwiseQuarters) % 4};
}

void DescribeTurn(const PuzzleGame& game, FaceTurn turn, ViewFace* side, int* clockwiseQuarters) {
    *side = ViewFaceOf(game, turn.face);
    // ClockwiseQuarters is 1 or 3, its own inverse modulo 4.
    *clockwiseQuarters = (turn.quarterTurns * ClockwiseQuarters(turn.face)) % 4;
}

bool TurnWholePuzzle(PuzzleGame& game, ViewFace side, bool inverse) {
    if (game.m_stylusHeld) {
        return false;
    }
    const FaceTurn turn = ViewTurn(game, side, inverse ? 3 : 1);
    // As a whole-puzzle drag does: every slot turns, and the turn is folded into the view.
    SetUpFaceTurn(game, turn);
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 1;
    }
    FoldTurnIntoView(game);
    game.m_turnAxis = Axis::None;
    game.m_turnState = TurnState::NoneChosen;
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 0;
    }
    RefreshView(game);
    return true;
}
