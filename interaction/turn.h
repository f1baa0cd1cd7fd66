// Turn choice, commit, the solved check and the shuffle.
#pragma once

#include "model/puzzle.h"

// Degrees to radians in the drag code, a float constant.
constexpr float kDragDegToRad = 0.017453292F;

float AngleDiff(float a, float b);
float AbsAngleDiff(float a, float b);
// Screen direction of (right, up) in degrees: double atan2, float factor, narrowed once.
float ScreenAngle(double right, double up);

void TurnPieceModel(Piece& piece, const Matrix34& matrix);
bool IsSolved();
int ColourAtPoint(const Piece& piece, int x, int y, int z);

void ShuffleCube(PuzzleGame& game);
void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns);
int RandomBelow(int n);
