// One game of the puzzle as one value: the pieces, the view, the drag, the draw order, the skin,
// the size, the solved flag, the random generator and the window it talks to. The tables that
// never change sit beside it as constants.
#pragma once

#include <cstdint>

#include "model/matrix34.h"
#include "platform/colour.h"
#include "platform/crt_rand.h"
#include "platform/host.h"

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

// m_dragMode: what the stylus is dragging.
enum class DragMode : int { None = 0, Layer = 1, WholePuzzle = 2 };
// m_turnState: whether this drag has chosen its turn yet.
enum class TurnState : int { NoneChosen = -1, Chosen = 0 };
// The model axes by number. The number also indexes m_touchedAxis and kAxisFirstFace.
enum class Axis : int { None = 0, X = 1, Y = 2, Z = 3 };
constexpr int AxisNumber(Axis axis) {
    return static_cast<int>(axis);
}
// m_skin: plainly coloured sides, or a white body with coloured stickers.
enum class Skin : int { Plain = 1, Stickers = 2 };

// Numbering, fixed for the whole game.
// The four slots of each turn face, in the order a quarter turn moves their records.
constexpr int kFaceSlots[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {1, 5, 6, 2}, {0, 4, 7, 3}, {0, 1, 5, 4}, {3, 2, 6, 7}};
// The axis each turn face turns about.
constexpr Axis kFaceAxis[6] = {Axis::Z, Axis::Z, Axis::X, Axis::X, Axis::Y, Axis::Y};
// By axis number: the first of its two turn faces (-1 for none); the other is the next one.
constexpr int kAxisFirstFace[4] = {-1, 2, 4, 0};
// The centre of each turn face, for the layer-in-front test, and the puzzle's centre.
constexpr Point3 kFaceCentres[6] = {{0, 0, 1000}, {0, 0, -1000}, {-1000, 0, 0},
                                    {1000, 0, 0}, {0, 1000, 0},  {0, -1000, 0}};
constexpr Point3 kCentrePoint{0.0F, 0.0F, 0.0F};

// Brushes are colour values; index 4 is the white of the chamfers, 7 the grey of inner faces.
constexpr int kColourWhite = 4;
constexpr int kColourGrey = 7;
constexpr Colour kBrushes[8] = {0x1111f5, 0x0079e6, 0x32f532, 0xf53232, 0xffffff, 0x00f5f5, 0xf500f5, 0x808080};
constexpr Colour kBackgroundBrush = 0x800000;
constexpr Colour kSolvedBrush = 0x40c040;

// One move: a turn of one layer, turn face 0..5, by 1..3 quarter turns, each the way a positive
// quarter turn commits (CommitTurn): what one drag commits at most, what ApplyFaceTurn plays.
struct FaceTurn {
    int face;
    int quarterTurns;
};

// The moves since the last shuffle, for undo and redo: entries[0..count) were played or undone,
// the first `cursor` of them stand. A restart is an entry of its own, so that it can be undone
// too. The list has a fixed size, so no turn allocates: past it the oldest entries are dropped
// (`dropped` counts them) and undo reaches back only as far as the list does.
constexpr int kMaxHistory = 1000;
struct MoveHistory {
    // An entry: face * 3 + quarterTurns - 1 (0..17), or kRestartEntry.
    std::uint8_t entries[kMaxHistory];
    int count;
    int cursor;
    int dropped;
    int moves;  // moves on the way from the shuffle to the position now: undo lowers it, restart clears it
};
constexpr std::uint8_t kRestartEntry = 18;

// The last view rotation built and its angles bit for bit: the angles change only in
// whole-puzzle drags, and every step of a layer drag asks for the same rotation again.
struct ViewRotationCache {
    std::uint32_t angleBits[3];
    Matrix34 matrix;
    bool built;
};

// One game. A value: copy it and the copy plays on alone (it talks to the same host).
// Every field is listed in StateDifference (tests/support/puzzle_invariants.cpp): a new field
// goes there too.
// Shells drive it through StylusDown, StylusMove and StylusUp and the commands of
// shell/commands.h; the steps beneath live in interaction/, each in its unit's header.
class PuzzleGame {
public:
    // A new game: the solved puzzle built and projected once, then rand seeded with seed.
    // The first projection comes before any window exists: it invalidates nothing. Every later
    // change tells host (null: no window, nothing to tell).
    PuzzleGame(std::uint32_t seed, Host* host);

    // The stylus, with the message's coordinates (masked to its unsigned 16 bits). A press only
    // marks itself pending; the first move sets the drag up, hit-testing in m_drawOrder, the
    // order of the last paint. A move reaches the drag only while the stylus is held: a desktop
    // mouse hovers, which the touch screen never does. StylusMove is true when the frame must
    // be painted at once. restart (only the whole-puzzle drag's own steps use it): a
    // whole-puzzle drag goes on from (x, y).
    // Defined in interaction/drag.cpp.
    void StylusDown(int x, int y, bool restart = false);
    bool StylusMove(int x, int y);
    void StylusUp();
    [[nodiscard]] bool IsStylusHeld() const { return m_stylusHeld; }

    // Construction's writers of the model coordinates.
    void SetPieceVertex(int slot, int vertex, float x, float y, float z);
    void SetBoxCorner(int corner, float x, float y, float z);

    // The window: invalidate the frame without erasing; show or hide one of the five buttons.
    void InvalidateFrame() {
        if (m_host != nullptr) {
            m_host->InvalidateFrame();
        }
    }
    void ShowButton(HostButton button, bool show) {
        if (m_host != nullptr) {
            m_host->ShowButton(button, show);
        }
    }

    // The model. Model x, y, z: construction and CommitTurn; records move between slots in
    // CommitTurn; projected sx, sy, sz: RefreshView and ShowTurn.
    Piece m_pieces[8]{};        // by slot
    Piece m_spareSlot{};        // CommitTurn's temporary while it moves records along a face
    OuterBox m_outerBox{};      // corners by construction; projected by RefreshView and ShowTurn
    std::uint8_t m_solved = 1;  // FinishLayerTurn, ShuffleCube (read by painting and the buttons)

    // The view.
    float m_viewAngleX = -15.0F;  // degrees (AbsorbCubeRotation)
    float m_viewAngleY = 15.0F;
    float m_viewAngleZ = 10.0F;
    float m_scale = 0.06F;               // drawing size 0.04..0.08: the size steps of shell/commands
    Skin m_skin = Skin::Stickers;        // toggled by the New Skin command and button
    Matrix34 m_viewMatrix{};             // model to screen, last built by RefreshView, ShowTurn or a turn chooser
    Matrix34 m_savedViewMatrix{};        // the copy of m_viewMatrix a whole-cube step folds into the view
    ViewRotationCache m_viewRotation{};  // RotateToView
    int m_drawOrder[8] = {0, 1, 2, 3, 4, 5, 6, 7};  // slots back to front: written by each paint
                                                    // (ComposeFrame), read by the next press

    // The drag (interaction/).
    bool m_stylusHeld = false;                      // between StylusDown and StylusUp
    DragMode m_dragMode = DragMode::None;           // StylusDown, StylusMove, DragWholeCube, StylusUp
    std::uint8_t m_pressPending = 0;                // from StylusDown until the first StylusMove sets the drag up
    Axis m_turnAxis = Axis::None;                   // axis of the turn in progress (a layer's, or the whole cube's)
    std::uint8_t m_turnLayerFront = 0;              // 1: the turning layer is nearer than the rest (ShowTurn)
    TurnState m_turnState = TurnState::NoneChosen;  // Chosen by SelectTurnFace and a whole-cube step
    int m_turnFace = 0;                             // turn face 0..5 of the turning layer (SelectTurnFace)
    int m_hitSlot = 0;                              // slot of the piece a layer drag started on (StylusMove)
    int m_hitFace = -1;                             // its face, or the box face of a whole-cube drag; -1 none
    int m_pressBoxFace = 0;                         // box face under the start of a whole-cube step, or -1
    int m_pressX = -1;                              // where the drag, or the whole-cube step, started
    int m_pressY = -1;
    int m_lastX = 0;  // the previous point of the drag (the drag steps)
    int m_lastY = 0;
    float m_turnRefAngle = 0.0F;            // screen direction that drives the turn (the choosers)
    float m_dragThreshold = 30.0F;          // squared pixels a layer drag travels before it turns
    float m_turnAngleX = 0.0F;              // degrees the turning layer (or whole cube) is turned about X, Y, Z:
    float m_turnAngleY = 0.0F;              // TurnStep and ApplyFaceTurn; snapped and cleared by CommitTurn,
    float m_turnAngleZ = 0.0F;              // cleared by the whole-cube fold and StylusUp
    std::uint8_t m_inTurningLayer[8] = {};  // by slot: SelectTurnFace, DragWholeCube, ApplyFaceTurn; CommitTurn clears
    std::uint8_t m_touchedAxis[4] = {};     // by axis number 1..3: the touched side is across it (the choosers)
    std::uint8_t m_turnSense = 0;           // the touched side is on the axis's positive end (the choosers)
    Matrix34 m_turnMatrix{};                // the rotation of a committed layer (CommitTurn)

    // The moves (interaction/moves.h). The pieces as the last shuffle left them (as built before
    // any): where a restart goes back to.
    Piece m_basePieces[8]{};
    MoveHistory m_history{};
    bool m_shuffled = false;           // a shuffle has been played
    std::uint32_t m_shuffleCount = 0;  // shuffles played, so that a window can tell a new one
    bool m_checked = false;            // a solved check ran since the last shuffle (m_solved and the buttons follow it)

    // The shuffle's generator, the C runtime's; nothing else draws from it.
    CrtRandom m_random;
    // The window, or null.
    Host* m_host = nullptr;
};

// A seed from the local time, as the device takes it: (minute x 6 + second) x 1000 + milliseconds.
// The time comes from host, or from the C library with no host.
std::uint32_t MakeTimeSeed(Host* host);

// Record set-up and the builders of construction. The builders append at the running
// positions of the piece or box being built.
struct PieceBuild {
    Piece& piece;
    int faceCount;
    int stickerCount;
};
struct BoxBuild {
    OuterBox& box;
    int faceCount;
};
void InitPieceRecord(Piece& piece);
void InitOuterBox(OuterBox& box);
void AddQuadFace(PieceBuild& build, int colour, int a, int b, int c, int d);
void AddPentagonFace(PieceBuild& build, int colour, int a, int b, int c, int d, int e);
void AddTriangleSticker(PieceBuild& build, int face, int colour, int a, int b, int c);
void AddQuadSticker(PieceBuild& build, int face, int colour, int a, int b, int c, int d);
void AddBoxFace(BoxBuild& build, int a, int b, int c, int d);
