#include <cstdint>

#include "model/puzzle.h"
#include "platform/crt_rand.h"
#include "platform/host.h"
#include "render/projection.h"

const int g_faceSlots[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {1, 5, 6, 2}, {0, 4, 7, 3}, {0, 1, 5, 4}, {3, 2, 6, 7}};
const Axis g_faceAxis[6] = {Axis::Z, Axis::Z, Axis::X, Axis::X, Axis::Y, Axis::Y};
const int g_axisFirstFace[4] = {-1, 2, 4, 0};
Point3 g_faceCentres[6];
Point3 g_centrePoint;

Colour g_brushes[8];
Colour g_backgroundBrush;
Colour g_solvedBrush;

Piece g_pieces[8];
Piece g_spareSlot;
OuterBox g_outerBox;
Matrix34 g_viewMatrix;
Matrix34 g_turnMatrix;
Matrix34 g_savedViewMatrix;
float g_scale;
Skin g_skin;
std::uint8_t g_solved;
DragMode g_dragMode;
std::uint8_t g_pressPending;
float g_turnAngleX;
float g_turnAngleY;
float g_turnAngleZ;
std::uint8_t g_inTurningLayer[8];
int g_drawOrder[8];
std::uint8_t g_touchedAxis[4];
std::uint8_t g_turnSense;
int g_faceBuildCount;
int g_stickerBuildCount;
int g_boxFaceBuildCount;

namespace {

constexpr Colour kColourTable[8] = {0x1111f5, 0x0079e6, 0x32f532, 0xf53232, 0xffffff, 0x00f5f5, 0xf500f5, 0x808080};

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

constexpr Point3 kFaceCentres[6] = {{0, 0, 1000}, {0, 0, -1000}, {-1000, 0, 0},
                                    {1000, 0, 0}, {0, 1000, 0},  {0, -1000, 0}};

// Zeros are stored as positive zero whatever sign the mapping gave them.
float Signed(int sign, float v) {
    const float r = sign < 0 ? -v : v;
    return r == 0.0F ? 0.0F : r;
}

void BuildPiece(PuzzleGame& game, int p) {
    Piece& piece = g_pieces[p];
    const PieceLook& look = kPieceLooks[p];
    g_faceBuildCount = 0;
    g_stickerBuildCount = 0;
    for (int v = 0; v < 12; ++v) {
        const float* src = kPiece0Vertices[v];
        game.SetPieceVertex(p, v, Signed(look.sign[0], src[look.axis[0]]), Signed(look.sign[1], src[look.axis[1]]),
                            Signed(look.sign[2], src[look.axis[2]]));
    }
    AddPentagonFace(piece, kColourGrey, 5, 9, 8, 7, 6);
    AddQuadFace(piece, kColourGrey, 0, 4, 9, 5);
    if (p == 7) {
        AddQuadFace(piece, kColourGrey, 5, 6, 1, 0);
    } else {
        AddQuadFace(piece, kColourGrey, 0, 5, 6, 1);
    }
    AddPentagonFace(piece, look.topColour, 0, 1, 2, 3, 4);
    if (look.sidesSwapped) {
        AddQuadFace(piece, look.face4Colour, 2, 1, 6, 7);
    } else {
        AddQuadFace(piece, look.face4Colour, 4, 3, 8, 9);
    }
    AddQuadFace(piece, kColourWhite, 3, 2, 7, 8);
    if (look.sidesSwapped) {
        AddQuadFace(piece, look.face6Colour, 4, 3, 8, 9);
    } else {
        AddQuadFace(piece, look.face6Colour, 2, 1, 6, 7);
    }
    const int sideA = look.sidesSwapped ? 6 : 4;  // the 4, 3, 8, 9 side
    const int sideB = look.sidesSwapped ? 4 : 6;  // the 2, 1, 6, 7 side
    AddQuadSticker(piece, sideA, look.sticker[0], 10, 3, 8, 9);
    AddTriangleSticker(piece, 5, look.sticker[1], 3, 2, 8);
    AddTriangleSticker(piece, sideB, look.sticker[2], 11, 6, 7);
}

// Plain start values of every global, so a reset leaves nothing of a previous game.
void ResetGlobals() {
    const Piece blankPiece{};
    for (Piece& piece : g_pieces) {
        piece = blankPiece;
    }
    g_spareSlot = blankPiece;
    g_outerBox = OuterBox{};
    g_scale = 0.06F;
    g_skin = Skin::Stickers;
    g_solved = 1;
    g_dragMode = DragMode::None;
    g_pressPending = 0;
    g_turnAngleX = 0.0F;
    g_turnAngleY = 0.0F;
    g_turnAngleZ = 0.0F;
    for (int i = 0; i < 8; ++i) {
        g_inTurningLayer[i] = 0;
        g_drawOrder[i] = i;
    }
    for (std::uint8_t& flag : g_touchedAxis) {
        flag = 0;
    }
    g_turnSense = 0;
    g_faceBuildCount = 0;
    g_stickerBuildCount = 0;
    g_boxFaceBuildCount = 0;
}

// The static initialisation: records prepared, then the game constructed.
PuzzleGame ConstructPuzzle() {
    ResetGlobals();
    g_turnMatrix.SetIdentity();
    g_savedViewMatrix.SetIdentity();
    g_viewMatrix.SetIdentity();
    for (Piece& piece : g_pieces) {
        InitPieceRecord(piece);
    }
    InitPieceRecord(g_spareSlot);
    InitOuterBox();
    return PuzzleGame();
}

}  // namespace

// Guaranteed copy elision: the constructor runs on g_game itself.
PuzzleGame g_game = ConstructPuzzle();

void ResetPuzzle() {
    g_game = ConstructPuzzle();
}

void InitPieceRecord(Piece& piece) {
    piece.vertexCount = 12;
    piece.faceCount = 7;
    piece.stickerCount = 3;
    g_faceBuildCount = 0;
    g_stickerBuildCount = 0;
    for (int i = 0; i < piece.faceCount; ++i) {
        piece.faceSticker[i] = -1;
    }
}

void InitOuterBox() {
    g_outerBox.vertexCount = 8;
    g_outerBox.faceCount = 6;
    g_boxFaceBuildCount = 0;
}

void AddQuadFace(Piece& piece, int colour, int a, int b, int c, int d) {
    const int n = g_faceBuildCount;
    piece.faceVertexCount[n] = 4;
    piece.faceColour[n] = colour;
    piece.faceVertex[n][0] = a;
    piece.faceVertex[n][1] = b;
    piece.faceVertex[n][2] = c;
    piece.faceVertex[n][3] = d;
    g_faceBuildCount = n + 1;
}

void AddPentagonFace(Piece& piece, int colour, int a, int b, int c, int d, int e) {
    const int n = g_faceBuildCount;
    piece.faceVertexCount[n] = 5;
    piece.faceColour[n] = colour;
    piece.faceVertex[n][0] = a;
    piece.faceVertex[n][1] = b;
    piece.faceVertex[n][2] = c;
    piece.faceVertex[n][3] = d;
    piece.faceVertex[n][4] = e;
    g_faceBuildCount = n + 1;
}

void AddTriangleSticker(Piece& piece, int face, int colour, int a, int b, int c) {
    const int k = g_stickerBuildCount;
    piece.faceSticker[face] = k;
    piece.stickerVertexCount[k] = 3;
    piece.stickerColour[k] = colour;
    piece.stickerVertex[k][0] = a;
    piece.stickerVertex[k][1] = b;
    piece.stickerVertex[k][2] = c;
    g_stickerBuildCount = k + 1;
}

void AddQuadSticker(Piece& piece, int face, int colour, int a, int b, int c, int d) {
    const int k = g_stickerBuildCount;
    piece.faceSticker[face] = k;
    piece.stickerVertexCount[k] = 4;
    piece.stickerColour[k] = colour;
    piece.stickerVertex[k][0] = a;
    piece.stickerVertex[k][1] = b;
    piece.stickerVertex[k][2] = c;
    piece.stickerVertex[k][3] = d;
    g_stickerBuildCount = k + 1;
}

void AddBoxFace(int a, int b, int c, int d) {
    const int n = g_boxFaceBuildCount;
    g_outerBox.faceVertexCount[n] = 4;
    g_outerBox.faceVertex[n][0] = a;
    g_outerBox.faceVertex[n][1] = b;
    g_outerBox.faceVertex[n][2] = c;
    g_outerBox.faceVertex[n][3] = d;
    g_boxFaceBuildCount = n + 1;
}

std::uint32_t MakeTimeSeed() {
    const LocalTime t = HostLocalTime();
    // Minutes times 6, not 60: hour and date play no part.
    return static_cast<std::uint32_t>((t.minute * 6 + t.second) * 1000 + t.milliseconds);
}

void PuzzleGame::SetPieceVertex(int slot, int vertex, float x, float y, float z) {
    g_pieces[slot].x[vertex] = x;
    g_pieces[slot].y[vertex] = y;
    g_pieces[slot].z[vertex] = z;
}

void PuzzleGame::SetBoxCorner(int corner, float x, float y, float z) {
    g_outerBox.x[corner] = x;
    g_outerBox.y[corner] = y;
    g_outerBox.z[corner] = z;
}

PuzzleGame::PuzzleGame() {
    m_viewAngleZ = 10.0F;
    m_viewAngleY = 15.0F;
    m_viewAngleX = -15.0F;
    CrtSrand(MakeTimeSeed());
    g_backgroundBrush = 0x800000;
    g_solvedBrush = 0x40c040;
    for (int i = 0; i < 8; ++i) {
        g_brushes[i] = kColourTable[i];
    }
    m_hitFace = -1;
    m_turnState = TurnState::NoneChosen;
    m_pressY = -1;
    m_pressX = -1;
    g_dragMode = DragMode::None;
    g_pressPending = 0;
    m_dragThreshold = 30.0F;
    g_centrePoint = Point3{0.0F, 0.0F, 0.0F};
    for (int f = 0; f < 6; ++f) {
        g_faceCentres[f] = kFaceCentres[f];
    }
    for (int p = 0; p < 8; ++p) {
        BuildPiece(*this, p);
    }
    for (int c = 0; c < 8; ++c) {
        SetBoxCorner(c, static_cast<float>(kSlotSigns[c][0] * 1000), static_cast<float>(kSlotSigns[c][1] * 1000),
                     static_cast<float>(kSlotSigns[c][2] * 1000));
    }
    for (const auto& face : kBoxFaces) {
        AddBoxFace(face[0], face[1], face[2], face[3]);
    }
    RefreshView(*this);
}
