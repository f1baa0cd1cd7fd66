#include "interaction/commit.h"

#include "render/projection.h"

namespace {

constexpr float kPerQuarter = 0.011111111F;

// Nearest whole quarter turn, 45 going forward; 315..359 give 360.
float SnapToQuarter(float angle) {
    return 90.0F * static_cast<float>(static_cast<int>((angle + 45.0F) * kPerQuarter));
}

struct SideCheck {
    int centre[3];
    int firstSlot;
    int otherSlots[3];
};

constexpr SideCheck kSides[6] = {
    {{1000, 0, 0}, 0, {3, 4, 7}},  {{-1000, 0, 0}, 1, {2, 5, 6}}, {{0, 1000, 0}, 0, {1, 4, 5}},
    {{0, -1000, 0}, 2, {3, 6, 7}}, {{0, 0, 1000}, 0, {1, 2, 3}},  {{0, 0, -1000}, 4, {5, 6, 7}},
};

}  // namespace

int FinishLayerTurn(PuzzleGame& game) {
    const int quarters = CommitTurn(game);
    CheckSolved(game);
    return quarters;
}

void CheckSolved(PuzzleGame& game) {
    game.m_solved = IsSolved(game.m_pieces) ? 1 : 0;
    game.m_checked = true;
    const bool show = game.m_solved != 0;
    game.ShowButton(HostButton::Shuffle, show);
    game.ShowButton(HostButton::NewSkin, show);
}

void SetUpFaceTurn(PuzzleGame& game, FaceTurn turn) {
    game.m_turnFace = turn.face;
    game.m_turnAxis = kFaceAxis[turn.face];
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 0;
    }
    for (const int slot : kFaceSlots[turn.face]) {
        game.m_inTurningLayer[slot] = 1;
    }
    game.m_turnAngleX = 0.0F;
    game.m_turnAngleY = 0.0F;
    game.m_turnAngleZ = 0.0F;
    const float angle = static_cast<float>(turn.quarterTurns) * 90.0F;
    if (game.m_turnAxis == Axis::X) {
        game.m_turnAngleX = angle;
    } else if (game.m_turnAxis == Axis::Y) {
        game.m_turnAngleY = angle;
    } else {
        game.m_turnAngleZ = angle;
    }
}

int CommitTurn(PuzzleGame& game) {
    if (game.m_turnFace == -1) {
        return 0;
    }
    Matrix34& turn = game.m_turnMatrix;
    turn.SetIdentity();
    // Signs chosen so the committed turn is the one the display showed.
    if (game.m_turnAxis == Axis::X) {
        game.m_turnAngleX = SnapToQuarter(game.m_turnAngleX);
        turn.RotateX(static_cast<double>(-game.m_turnAngleX));
    } else if (game.m_turnAxis == Axis::Y) {
        game.m_turnAngleY = SnapToQuarter(game.m_turnAngleY);
        turn.RotateY(static_cast<double>(game.m_turnAngleY));
    } else if (game.m_turnAxis == Axis::Z) {
        game.m_turnAngleZ = SnapToQuarter(game.m_turnAngleZ);
        turn.RotateZ(static_cast<double>(-game.m_turnAngleZ));
    }
    for (int slot = 0; slot < 8; ++slot) {
        if (game.m_inTurningLayer[slot] != 0) {
            TurnPieceModel(game.m_pieces[slot], turn);
        }
    }
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 0;
    }
    const int quarters = static_cast<int>((game.m_turnAngleZ + game.m_turnAngleY + game.m_turnAngleX) * kPerQuarter);
    int moved = 0;
    if (game.m_turnFace >= 0 && game.m_turnFace < 6) {
        moved = quarters > 0 ? quarters : 0;
        const int* row = kFaceSlots[game.m_turnFace];
        Piece* pieces = game.m_pieces;
        for (int q = 0; q < quarters; ++q) {
            game.m_spareSlot = pieces[row[3]];
            pieces[row[3]] = pieces[row[2]];
            pieces[row[2]] = pieces[row[1]];
            pieces[row[1]] = pieces[row[0]];
            pieces[row[0]] = game.m_spareSlot;
        }
    }
    game.m_turnAngleX = 0.0F;
    game.m_turnAngleY = 0.0F;
    game.m_turnAngleZ = 0.0F;
    game.m_turnAxis = Axis::None;
    game.m_turnState = TurnState::NoneChosen;
    RefreshView(game);
    return moved;
}

void TurnPieceModel(Piece& piece, const Matrix34& matrix) {
    for (int i = 0; i < piece.vertexCount; ++i) {
        const float x = piece.x[i];
        const float y = piece.y[i];
        const float z = piece.z[i];
        // Quarter-turn products land on whole numbers or on tiny values either side of 0.
        piece.x[i] = static_cast<float>(static_cast<int>(matrix.TransformX(x, y, z)));
        piece.y[i] = static_cast<float>(static_cast<int>(matrix.TransformY(x, y, z)));
        piece.z[i] = static_cast<float>(static_cast<int>(matrix.TransformZ(x, y, z)));
    }
}

int ColourAtPoint(const Piece& piece, int x, int y, int z) {
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fz = static_cast<float>(z);
    for (int f = 0; f < piece.faceCount; ++f) {
        if (piece.faceColour[f] == kColourGrey) {
            continue;
        }
        for (int k = 0; k < piece.faceVertexCount[f]; ++k) {
            const int v = piece.faceVertex[f][k];
            if (piece.x[v] == fx && piece.y[v] == fy && piece.z[v] == fz) {
                return piece.faceColour[f];
            }
        }
    }
    return -1;
}

bool IsSolved(const Piece (&pieces)[8]) {
    for (const SideCheck& side : kSides) {
        const int* c = side.centre;
        const int colour = ColourAtPoint(pieces[side.firstSlot], c[0], c[1], c[2]);
        for (const int slot : side.otherSlots) {
            if (ColourAtPoint(pieces[slot], c[0], c[1], c[2]) != colour) {
                return false;
            }
        }
    }
    return true;
}
