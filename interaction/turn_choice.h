// Turn choice and display: which layer turns and along which screen direction, the layer shown
// turned, and a whole-puzzle turn folded into the view angles. Beneath the drag steps; tests of
// the turn choice reach them here.
#pragma once

#include "model/puzzle.h"

// The turn face for a drag in direction dragAngle (degrees) that started on a coloured face,
// or -1. Leaves the plain view matrix in m_viewMatrix.
int ChooseTurnFromFace(PuzzleGame& game, int slot, int face, float dragAngle);
// A chamfer turns about its piece's long axis, whatever the direction.
int ChooseTurnFromChamfer(PuzzleGame& game, int slot, int face);
// The axis of a whole-puzzle step (as turn face 1, 3 or 5), or -1. Leaves the plain view matrix.
int ChooseCubeTurn(PuzzleGame& game, int boxFace, float dragAngle);
void SelectTurnFace(PuzzleGame& game, int face);
// Projects every piece and the box with the turning layer turned; m_viewMatrix is left holding
// slot 7's matrix, which a whole-cube step folds into the view angles.
void ShowTurn(PuzzleGame& game);
// Rewrites the view angles from m, the view matrix of a whole-cube step.
void AbsorbCubeRotation(PuzzleGame& game, Matrix34 m);
// The end of a whole-puzzle turn: shown at its angle, folded into the view angles, the turn
// angles back to 0.
void FoldTurnIntoView(PuzzleGame& game);

float AngleDiff(float a, float b);
float AbsAngleDiff(float a, float b);
// Screen direction of (right, up) in degrees: double atan2, float factor, narrowed once.
float ScreenAngle(double right, double up);
