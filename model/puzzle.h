// The puzzle's whole state: pieces by slot, the outer box, the fixed tables and the game object.
#pragma once

#include <cstdint>

#include "model/matrix34.h"
#include "platform/colour.h"

struct Point3 {
    float x;
    float y;
    float z;
};

// One corner piece. Flat and pointer-free so a quarter turn can copy records between slots.
struct Piece {
    int vertexCount;
    float x[12];
    float y[12];
    float z[12];
    int sx[12];
    int sy[12];
    int sz[12];
    int faceColour[7];
    int stickerColour[7];
    int faceVertex[7][5];
    int stickerVertex[7][5];
    int faceCount;
    int stickerCount;
    int faceSticker[7];
    int faceVertexCount[7];
    int stickerVertexCount[7];
};

// The bounding cube; only hit testing uses it.
struct OuterBox {
    int vertexCount;
    float x[8];
    float y[8];
    float z[8];
    int sx[8];
    int sy[8];
    int sz[8];
    int faceVertex[6][4];
    int faceCount;
    int faceVertexCount[6];
};

class PuzzleGame {
public:
    PuzzleGame();

    void SetPieceVertex(int slot, int vertex, float x, float y, float z);
    void SetBoxCorner(int corner, float x, float y, float z);

    // Stylus operations; points are the unsigned 16-bit values of the message.
    void StylusDown(int x, int y, bool restart);
    bool StylusMove(int x, int y);
    void StylusUp();
    void DragLayer(int x, int y);
    void DragWholeCube(int x, int y);
    void TurnStep(int ix, int iy);

    // Turn choice and display.
    int ChooseTurnFromFace(int slot, int face, float dragAngle);
    int ChooseTurnFromChamfer(int slot, int face);
    int ChooseCubeTurn(int boxFace, float dragAngle);
    void SelectTurnFace(int face);
    void ShowTurn();
    void AbsorbCubeRotation(Matrix34 m);

    // Commit.
    void FinishLayerTurn();
    void CommitTurn();

    int m_turnAxis = 0;
    std::uint8_t m_turnLayerFront = 0;
    int m_turnState = -1;
    int m_turnFace = 0;
    int m_hitSlot = 0;
    int m_hitFace = -1;
    int m_pressBoxFace = 0;
    int m_pressX = -1;
    int m_pressY = -1;
    float m_turnRefAngle = 0.0F;
    float m_viewAngleX = -15.0F;
    float m_viewAngleY = 15.0F;
    float m_viewAngleZ = 10.0F;
    float m_dragThreshold = 30.0F;
    int m_lastX = 0;
    int m_lastY = 0;

private:
    // Screen directions of the model axes and the choice among untouched axes.
    void ChooseAxes(float dragAngle, int* turnAxis);
};

// Slot and face numbering, fixed for the whole game.
extern const int g_faceSlots[6][4];
extern const int g_faceAxis[6];
extern const int g_axisFirstFace[4];
extern Point3 g_faceCentres[6];
extern Point3 g_centrePoint;

// Brushes are colour values; index 4 is the white of the chamfers, 7 the grey of inner faces.
constexpr int kColourWhite = 4;
constexpr int kColourGrey = 7;
extern Colour g_brushes[8];
extern Colour g_backgroundBrush;
extern Colour g_solvedBrush;

extern Piece g_pieces[8];
extern Piece g_spareSlot;
extern OuterBox g_outerBox;
extern Matrix34 g_viewMatrix;
extern Matrix34 g_turnMatrix;
extern Matrix34 g_savedViewMatrix;
extern float g_scale;
extern int g_skin;
extern std::uint8_t g_solved;
extern int g_dragMode;
extern std::uint8_t g_pressPending;
extern float g_turnAngleX;
extern float g_turnAngleY;
extern float g_turnAngleZ;
extern std::uint8_t g_inTurningLayer[8];
extern int g_drawOrder[8];
extern std::uint8_t g_touchedAxis[4];  // indexed by axis number 1..3
extern std::uint8_t g_turnSense;
extern int g_faceBuildCount;
extern int g_stickerBuildCount;
extern int g_boxFaceBuildCount;

extern PuzzleGame g_game;

// Record set-up and builders used while constructing.
void InitPieceRecord(Piece& piece);
void InitOuterBox();
void AddQuadFace(Piece& piece, int colour, int a, int b, int c, int d);
void AddPentagonFace(Piece& piece, int colour, int a, int b, int c, int d, int e);
void AddTriangleSticker(Piece& piece, int face, int colour, int a, int b, int c);
void AddQuadSticker(Piece& piece, int face, int colour, int a, int b, int c, int d);
void AddBoxFace(int a, int b, int c, int d);

std::uint32_t MakeTimeSeed();

// Brings every global and g_game back to the state the program starts in.
// The static initialisation runs the same steps.
void ResetPuzzle();
