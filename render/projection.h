// Model to screen: the view matrix, whole-pixel projection, facing test and painting order.
#pragma once

#include "model/puzzle.h"

void ScaleMatrix(Matrix34& m, float a, float b, float c);
void TranslateMatrix(Matrix34& m, float tx, float ty, float tz);
int ProjectX(Matrix34 m, float x, float y, float z);
int ProjectY(Matrix34 m, float x, float y, float z);
int ProjectZ(Matrix34 m, float x, float y, float z);
void ProjectPiece(Piece& piece, Matrix34 m);
void ProjectBox(OuterBox& box, Matrix34 m);

// The view matrix in two halves, so a turn can be slipped in between them: the rotation of
// the game's view angles from the identity, then the scale by g_scale (y flipped for the screen)
// and the move of the centre into the frame.
void RotateToView(const PuzzleGame& game, Matrix34& m);
void PlaceOnScreen(Matrix34& m);
// The plain view matrix of the game's angles and g_scale, into g_viewMatrix.
void BuildViewMatrix(const PuzzleGame& game);
void RefreshView(PuzzleGame& game);

bool IsFacingAway(const Piece& piece, int face);
bool IsBoxFaceFacingAway(const OuterBox& box, int face);
float MeanDepth(const Piece& piece);
void BuildDrawOrder(const PuzzleGame& game);

// Radians to degrees for screen directions, a float constant.
constexpr float kRadToDeg = 57.295776F;
