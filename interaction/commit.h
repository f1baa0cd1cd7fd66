// Committing a turn to the model, and the solved check. FinishLayerTurn and CommitTurn are
// PuzzleGame methods, declared with the class.
#pragma once

#include "model/puzzle.h"

void TurnPieceModel(Piece& piece, const Matrix34& matrix);
bool IsSolved();
int ColourAtPoint(const Piece& piece, int x, int y, int z);
