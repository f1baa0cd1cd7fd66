#include "interaction/commit.h"

#include "platform/host.h"
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

void PuzzleGame::FinishLayerTurn() {
    CommitTurn();
    g_solved = IsSolved() ? 1 : 0;
    const bool show = g_solved != 0;
    HostShowButton(HostButton::Shuffle, show);
    HostShowButton(HostButton::NewSkin, show);
}

void PuzzleGame::CommitTurn() {
    if (m_turnFace == -1) {
        return;
    }
    g_turnMatrix.SetIdentity();
    // Signs chosen so the committed turn is the one the display showed.
    if (m_turnAxis == Axis::X) {
        g_turnAngleX = SnapToQuarter(g_turnAngleX);
        g_turnMatrix.RotateX(static_cast<double>(-g_turnAngleX));
    } else if (m_turnAxis == Axis::Y) {
        g_turnAngleY = SnapToQuarter(g_turnAngleY);
        g_turnMatrix.RotateY(static_cast<double>(g_turnAngleY));
    } else if (m_turnAxis == Axis::Z) {
        g_turnAngleZ = SnapToQuarter(g_turnAngleZ);
        g_turnMatrix.RotateZ(static_cast<double>(-g_turnAngleZ));
    }
    for (int slot = 0; slot < 8; ++slot) {
        if (g_inTurningLayer[slot] != 0) {
            TurnPieceModel(g_pieces[slot], g_turnMatrix);
        }
    }
    for (std::uint8_t& flag : g_inTurningLayer) {
        flag = 0;
    }
    const int quarters = static_cast<int>((g_turnAngleZ + g_turnAngleY + g_turnAngleX) * kPerQuarter);
    if (m_turnFace >= 0 && m_turnFace < 6) {
        const int* row = g_faceSlots[m_turnFace];
        for (int q = 0; q < quarters; ++q) {
            g_spareSlot = g_pieces[row[3]];
            g_pieces[row[3]] = g_pieces[row[2]];
            g_pieces[row[2]] = g_pieces[row[1]];
            g_pieces[row[1]] = g_pieces[row[0]];
            g_pieces[row[0]] = g_spareSlot;
        }
    }
    g_turnAngleX = 0.0F;
    g_turnAngleY = 0.0F;
    g_turnAngleZ = 0.0F;
    m_turnAxis = Axis::None;
    m_turnState = TurnState::NoneChosen;
    RefreshView(*this);
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

bool IsSolved() {
    for (const SideCheck& side : kSides) {
        const int* c = side.centre;
        const int colour = ColourAtPoint(g_pieces[side.firstSlot], c[0], c[1], c[2]);
        for (const int slot : side.otherSlots) {
            if (ColourAtPoint(g_pieces[slot], c[0], c[1], c[2]) != colour) {
                return false;
            }
        }
    }
    return true;
}
