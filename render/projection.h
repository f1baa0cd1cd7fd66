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

// The plain view matrix of the game's angles and g_scale, into g_viewMatrix.
void BuildViewMatrix(const PuzzleGame& game);
void RefreshView(PuzzleGame& game);

bool IsFacingAway(const Piece& piece, int face);
bool IsBoxFaceFacingAway(const OuterBox& box, int face);
float MeanDepth(const Piece& piece);
void BuildDrawOrder(const PuzzleGame& game);

// Radians to degrees for screen directions, a float constant.
constexpr float kRadToDeg = 57.295776F;
