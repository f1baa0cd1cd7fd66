#include <cstdint>

#include "model/puzzle.h"
#include "render/projection.h"

namespace {

// Piece 0; every other piece is this solid turned into its own corner.
constexpr float kPiece0Vertices[12][3] = {
    {0, 1000, 0}, {1000, 1000, 0}, {1000, 1000, 414}, {414, 1000, 1000}, {0, 1000, 1000}, {0, 0, 0},
    {1000, 0, 0}, {1000, 0, 414},  {414, 0, 1000},    {0, 0, 1000},      {0, 500, 1000},  {1000, 500, 0},
};

struct PieceLook {
    // Rotation of piece 0's frame: each output axis is sign * input axis (0 x, 1 y, 2 z).
    int axis[3];
    int sign[3];
    int topColour;
    bool sidesSwapped;  // face 4 is the 2, 1, 6, 7 side
    int face4Colour;
    int face6Colour;
    int sticker[3];
};

constexpr PieceLook kPieceLooks[8] = {
    {{0, 1, 2}, {1, 1, 1}, 6, false, 3, 1, {1, 1, 2}},     // (x, y, z)
    {{2, 1, 0}, {-1, 1, 1}, 6, true, 3, 0, {0, 0, 1}},     // (-z, y, x)
    {{0, 1, 2}, {-1, -1, 1}, 5, false, 3, 0, {1, 1, 0}},   // (-x, -y, z)
    {{2, 1, 0}, {1, -1, 1}, 5, false, 1, 3, {2, 2, 1}},    // (z, -y, x)
    {{2, 1, 0}, {1, 1, -1}, 6, false, 1, 2, {2, 2, 3}},    // (z, y, -x)
    {{0, 1, 2}, {-1, 1, -1}, 6, true, 0, 2, {3, 3, 0}},    // (-x, y, -z)
    {{2, 1, 0}, {-1, -1, -1}, 5, false, 0, 2, {0, 0, 3}},  // (-z, -y, -x)
    {{0, 1, 2}, {1, -1, -1}, 5, false, 2, 1, {3, 3, 2}},   // (x, -y, -z)
};

constexpr int kSlotSigns[8][3] = {{1, 1, 1},  {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},
                                  {1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}};

constexpr int kBoxFaces[6][4] = {{3, 2, 1, 0}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {2, 6, 5, 1}, {0, 4, 7, 3}};

// Zeros are stored as positive zero whatever sign the mapping gave them.
float Signed(int sign, float v) {
    const float r = sign < 0 ? -v : v;
    return r == 0.0F ? 0.0F : r;
}

void BuildPiece(PuzzleGame& game, int p) {
    const PieceLook& look = kPieceLooks[p];
    PieceBuild build{game.m_pieces[p], 0, 0};
    for (int v = 0; v < 12; ++v) {
        const float* src = kPiece0Vertices[v];
        game.SetPieceVertex(p, v, Signed(look.sign[0], src[look.axis[0]]), Signed(look.sign[1], src[look.axis[1]]),
                            Signed(look.sign[2], src[look.axis[2]]));
    }
    AddPentagonFace(build, kColourGrey, 5, 9, 8, 7, 6);
    AddQuadFace(build, kColourGrey, 0, 4, 9, 5);
    if (p == 7) {
        AddQuadFace(build, kColourGrey, 5, 6, 1, 0);
    } else {
        AddQuadFace(build, kColourGrey, 0, 5, 6, 1);
    }
    AddPentagonFace(build, look.topColour, 0, 1, 2, 3, 4);
    if (look.sidesSwapped) {
        AddQuadFace(build, look.face4Colour, 2, 1, 6, 7);
    } else {
        AddQuadFace(build, look.face4Colour, 4, 3, 8, 9);
    }
    AddQuadFace(build, kColourWhite, 3, 2, 7, 8);
    if (look.sidesSwapped) {
        AddQuadFace(build, look.face6Colour, 4, 3, 8, 9);
    } else {
        AddQuadFace(build, look.face6Colour, 2, 1, 6, 7);
    }
    const int sideA = look.sidesSwapped ? 6 : 4;  // the 4, 3, 8, 9 side
    const int sideB = look.sidesSwapped ? 4 : 6;  // the 2, 1, 6, 7 side
    AddQuadSticker(build, sideA, look.sticker[0], 10, 3, 8, 9);
    AddTriangleSticker(build, 5, look.sticker[1], 3, 2, 8);
    AddTriangleSticker(build, sideB, look.sticker[2], 11, 6, 7);
}

}  // namespace

void InitPieceRecord(Piece& piece) {
    piece.vertexCount = 12;
    piece.faceCount = 7;
    piece.stickerCount = 3;
    for (int i = 0; i < piece.faceCount; ++i) {
        piece.faceSticker[i] = -1;
    }
}

void InitOuterBox(OuterBox& box) {
    box.vertexCount = 8;
    box.faceCount = 6;
}

void AddQuadFace(PieceBuild& build, int colour, int a, int b, int c, int d) {
    Piece& piece = build.piece;
    const int n = build.faceCount;
    piece.faceVertexCount[n] = 4;
    piece.faceColour[n] = colour;
    piece.faceVertex[n][0] = a;
    piece.faceVertex[n][1] = b;
    piece.faceVertex[n][2] = c;
    piece.faceVertex[n][3] = d;
    build.faceCount = n + 1;
}

void AddPentagonFace(PieceBuild& build, int colour, int a, int b, int c, int d, int e) {
    Piece& piece = build.piece;
    const int n = build.faceCount;
    piece.faceVertexCount[n] = 5;
    piece.faceColour[n] = colour;
    piece.faceVertex[n][0] = a;
    piece.faceVertex[n][1] = b;
    piece.faceVertex[n][2] = c;
    piece.faceVertex[n][3] = d;
    piece.faceVertex[n][4] = e;
    build.faceCount = n + 1;
}

void AddTriangleSticker(PieceBuild& build, int face, int colour, int a, int b, int c) {
    Piece& piece = build.piece;
    const int k = build.stickerCount;
    piece.faceSticker[face] = k;
    piece.stickerVertexCount[k] = 3;
    piece.stickerColour[k] = colour;
    piece.stickerVertex[k][0] = a;
    piece.stickerVertex[k][1] = b;
    piece.stickerVertex[k][2] = c;
    build.stickerCount = k + 1;
}

void AddQuadSticker(PieceBuild& build, int face, int colour, int a, int b, int c, int d) {
    Piece& piece = build.piece;
    const int k = build.stickerCount;
    piece.faceSticker[face] = k;
    piece.stickerVertexCount[k] = 4;
    piece.stickerColour[k] = colour;
    piece.stickerVertex[k][0] = a;
    piece.stickerVertex[k][1] = b;
    piece.stickerVertex[k][2] = c;
    piece.stickerVertex[k][3] = d;
    build.stickerCount = k + 1;
}

void AddBoxFace(BoxBuild& build, int a, int b, int c, int d) {
    const int n = build.faceCount;
    build.box.faceVertexCount[n] = 4;
    build.box.faceVertex[n][0] = a;
    build.box.faceVertex[n][1] = b;
    build.box.faceVertex[n][2] = c;
    build.box.faceVertex[n][3] = d;
    build.faceCount = n + 1;
}

std::uint32_t MakeTimeSeed(Host* host) {
    const LocalTime t = LocalTimeOf(host);
    // Minutes times 6, not 60: hour and date play no part.
    return static_cast<std::uint32_t>((t.minute * 6 + t.second) * 1000 + t.milliseconds);
}

void PuzzleGame::SetPieceVertex(int slot, int vertex, float x, float y, float z) {
    m_pieces[slot].x[vertex] = x;
    m_pieces[slot].y[vertex] = y;
    m_pieces[slot].z[vertex] = z;
}

void PuzzleGame::SetBoxCorner(int corner, float x, float y, float z) {
    m_outerBox.x[corner] = x;
    m_outerBox.y[corner] = y;
    m_outerBox.z[corner] = z;
}

// The device's static initialisation and constructor in their order. The brushes are colour
// values and need no making; the seed is the caller's (the device's is MakeTimeSeed's).
PuzzleGame::PuzzleGame(std::uint32_t seed, Host* host) {
    m_turnMatrix.SetIdentity();
    m_savedViewMatrix.SetIdentity();
    m_viewMatrix.SetIdentity();
    for (Piece& piece : m_pieces) {
        InitPieceRecord(piece);
    }
    InitPieceRecord(m_spareSlot);
    InitOuterBox(m_outerBox);

    m_viewAngleZ = 10.0F;
    m_viewAngleY = 15.0F;
    m_viewAngleX = -15.0F;
    m_random.Seed(seed);
    m_hitFace = -1;
    m_turnState = TurnState::NoneChosen;
    m_pressY = -1;
    m_pressX = -1;
    m_dragMode = DragMode::None;
    m_pressPending = 0;
    m_dragThreshold = 30.0F;
    for (int p = 0; p < 8; ++p) {
        BuildPiece(*this, p);
    }
    for (int c = 0; c < 8; ++c) {
        SetBoxCorner(c, static_cast<float>(kSlotSigns[c][0] * 1000), static_cast<float>(kSlotSigns[c][1] * 1000),
                     static_cast<float>(kSlotSigns[c][2] * 1000));
    }
    BoxBuild box{m_outerBox, 0};
    for (const auto& face : kBoxFaces) {
        AddBoxFace(box, face[0], face[1], face[2], face[3]);
    }
    RefreshView(*this);
    for (int slot = 0; slot < 8; ++slot) {
        m_basePieces[slot] = m_pieces[slot];
    }
    m_host = host;
}
