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

// g_dragMode: what the stylus is dragging.
enum class DragMode : int { None = 0, Layer = 1, WholePuzzle = 2 };
// m_turnState: whether this drag has chosen its turn yet.
enum class TurnState : int { NoneChosen = -1, Chosen = 0 };
// The model axes by number. The number also indexes g_touchedAxis and g_axisFirstFace.
enum class Axis : int { None = 0, X = 1, Y = 2, Z = 3 };
constexpr int AxisNumber(Axis axis) {
    return static_cast<int>(axis);
}
// g_skin: plainly coloured sides, or a white body with coloured stickers.
enum class Skin : int { Plain = 1, Stickers = 2 };

// The one game object, g_game: the drag state and the view angles. Its methods work on the
// globals below and are defined by the folder named at each group.
class PuzzleGame {
public:
    // Construction (model/): builds the solved puzzle, seeds rand from the local time, projects once.
    PuzzleGame();

    void SetPieceVertex(int slot, int vertex, float x, float y, float z);
    void SetBoxCorner(int corner, float x, float y, float z);

    // Press, drag and release (interaction/drag.cpp); points are the unsigned 16-bit values of
    // the message. The first move after a press hit-tests in g_drawOrder, the last paint's order.
    void StylusDown(int x, int y, bool restart);
    bool StylusMove(int x, int y);
    void StylusUp();
    void DragLayer(int x, int y);
    void DragWholeCube(int x, int y);
    void TurnStep(int ix, int iy);

    // Turn choice and display (interaction/turn_choice.cpp). ChooseTurnFromFace and ChooseCubeTurn
    // leave the plain view matrix in g_viewMatrix.
    int ChooseTurnFromFace(int slot, int face, float dragAngle);
    int ChooseTurnFromChamfer(int slot, int face);
    int ChooseCubeTurn(int boxFace, float dragAngle);
    void SelectTurnFace(int face);
    // Projects every piece and the box with the turning layer turned; viewMatrix is left
    // holding slot 7's matrix, which a whole-cube step folds into the view angles.
    void ShowTurn(Matrix34& viewMatrix);
    void AbsorbCubeRotation(Matrix34 m);

    // Commit (interaction/commit.cpp).
    void FinishLayerTurn();
    void CommitTurn();

    Axis m_turnAxis = Axis::None;                   // axis of the turn in progress (a layer's, or the whole cube's)
    std::uint8_t m_turnLayerFront = 0;              // 1: the turning layer is nearer than the rest (ShowTurn)
    TurnState m_turnState = TurnState::NoneChosen;  // Chosen by SelectTurnFace and a whole-cube step
    int m_turnFace = 0;                             // turn face 0..5 of the turning layer (SelectTurnFace)
    int m_hitSlot = 0;                              // slot of the piece a layer drag started on (StylusMove)
    int m_hitFace = -1;                             // its face, or the box face of a whole-cube drag; -1 none
    int m_pressBoxFace = 0;                         // box face under the start of a whole-cube step, or -1
    int m_pressX = -1;                              // where the drag, or the whole-cube step, started
    int m_pressY = -1;
    float m_turnRefAngle = 0.0F;  // screen direction that drives the turn (the choosers)
    float m_viewAngleX = -15.0F;  // view rotation in degrees (AbsorbCubeRotation)
    float m_viewAngleY = 15.0F;
    float m_viewAngleZ = 10.0F;
    float m_dragThreshold = 30.0F;  // squared pixels a layer drag travels before it turns
    int m_lastX = 0;                // the previous point of the drag (the drag steps)
    int m_lastY = 0;

private:
    // Screen directions of the model axes and the choice among untouched axes; leaves the
    // plain view matrix in g_viewMatrix.
    void ChooseAxes(float dragAngle, Axis* turnAxis);
};

// Numbering, fixed for the whole game; written once, by construction where not const.
extern const int g_faceSlots[6][4];   // the four slots of each turn face, in the order a quarter turn moves them
extern const Axis g_faceAxis[6];      // the axis each turn face turns about
extern const int g_axisFirstFace[4];  // by axis number: the first of its two turn faces (-1 for none)
extern Point3 g_faceCentres[6];       // the centre of each turn face, for the layer-in-front test
extern Point3 g_centrePoint;          // the puzzle's centre, the origin

// Brushes are colour values; index 4 is the white of the chamfers, 7 the grey of inner faces.
// Set by construction, never changed.
constexpr int kColourWhite = 4;
constexpr int kColourGrey = 7;
extern Colour g_brushes[8];
extern Colour g_backgroundBrush;
extern Colour g_solvedBrush;

// The records.
extern Piece g_pieces[8];      // by slot. Model x, y, z: construction and CommitTurn; records move
                               // between slots in CommitTurn; projected sx, sy, sz: RefreshView and ShowTurn
extern Piece g_spareSlot;      // CommitTurn's temporary while it moves records along a face
extern OuterBox g_outerBox;    // corners by construction; projected by RefreshView and ShowTurn
extern std::uint8_t g_solved;  // 1 while solved: FinishLayerTurn, ShuffleCube (read by painting, buttons)

// The view.
extern Matrix34 g_viewMatrix;  // model to screen, last built by RefreshView, ShowTurn or a turn chooser
extern float g_scale;          // drawing size 0.04..0.08: the size steps of shell/commands
extern Skin g_skin;            // toggled by the New Skin command and button (shell/commands)
extern int g_drawOrder[8];     // slots back to front, written by each paint (BuildDrawOrder);
                               // the next press hit-tests in it from the end (StylusMove)

// The drag, written by interaction/ (and set back by construction).
extern DragMode g_dragMode;               // StylusDown, StylusMove, DragWholeCube, StylusUp
extern std::uint8_t g_pressPending;       // 1 from StylusDown until the first StylusMove sets the drag up
extern float g_turnAngleX;                // degrees the turning layer (or whole cube) is turned about X, Y, Z:
extern float g_turnAngleY;                // TurnStep and ApplyFaceTurn; snapped and cleared by CommitTurn,
extern float g_turnAngleZ;                // cleared by the whole-cube fold and StylusUp
extern std::uint8_t g_inTurningLayer[8];  // by slot, in the turning layer: SelectTurnFace, DragWholeCube,
                                          // ApplyFaceTurn; cleared by CommitTurn
extern std::uint8_t g_touchedAxis[4];     // by axis number 1..3: the touched side is across it (the choosers)
extern std::uint8_t g_turnSense;          // the touched side is on the axis's positive end (the choosers)
extern Matrix34 g_turnMatrix;             // the rotation of a committed layer (CommitTurn)
extern Matrix34 g_savedViewMatrix;        // the copy of g_viewMatrix a whole-cube step folds into the view

// Builder scratch: the running positions of the Add* builders, used during construction only.
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

// Brings every global and g_game back to the state the program starts in, with the same steps
// as the static initialisation (and so seeds rand from the local time). Shells and tests start
// a game with StartGame (shell/commands.h), which also replaces that seed.
void ResetPuzzle();
