// Model to screen: the view matrix, whole-pixel projection, facing test and painting order.
#pragma once

#include "model/puzzle.h"

void ScaleMatrix(Matrix34& m, float a, float b, float c);
void TranslateMatrix(Matrix34& m, float tx, float ty, float tz);
int ProjectX(const Matrix34& m, float x, float y, float z);
int ProjectY(const Matrix34& m, float x, float y, float z);
int ProjectZ(const Matrix34& m, float x, float y, float z);
void ProjectPiece(Piece& piece, const Matrix34& m);
void ProjectBox(OuterBox& box, const Matrix34& m);

// Where the puzzle's centre lands: pixel (120, 135) of the frame, at depth 32.
constexpr Point3 kViewCentre{120.0F, 135.0F, 32.0F};

// The view matrix in two halves, so a turn can be slipped in between them: the rotation of
// the game's view angles from the identity (kept in the game's m_viewRotation for the next
// call), then the scale (y flipped for the screen) and the move of the centre to kViewCentre.
void RotateToView(PuzzleGame& game, Matrix34& m);
void PlaceOnScreen(float scale, Matrix34& m);
// The plain view matrix of the game's angles and scale.
void BuildViewMatrix(PuzzleGame& game, Matrix34& view);
// Rebuilds m_viewMatrix, projects every piece and the box with it, and invalidates the frame.
void RefreshView(PuzzleGame& game);

bool IsFacingAway(const Piece& piece, int face);
// The facing test on a face's first edge (dx1, dy1) and second edge (dx2, dy2), in pixels.
bool FacingAwayFromEdges(int dx1, int dy1, int dx2, int dy2);
bool IsBoxFaceFacingAway(const OuterBox& box, int face);
float MeanDepth(const Piece& piece);
// The slots back to front by mean depth, the turning layer's group kept apart. Every paint
// builds it into the game's m_drawOrder, where the next press looks for the piece under the stylus.
void BuildDrawOrder(const PuzzleGame& game, int (&drawOrder)[8]);

// Radians to degrees for screen directions, a float constant.
constexpr float kRadToDeg = 57.295776F;
