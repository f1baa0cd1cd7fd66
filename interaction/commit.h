// Committing a turn to the model, and the solved check.
#pragma once

#include "model/puzzle.h"

// The end of a layer drag: CommitTurn, then the solved check sets m_solved and shows or hides
// "Shuffle" and "New Skin".
void FinishLayerTurn(PuzzleGame& game);
// Snaps the turning axis's angle to whole quarter turns and makes the turn permanent: the model
// points of the marked pieces turned, their records moved along the face's slots.
void CommitTurn(PuzzleGame& game);
void TurnPieceModel(Piece& piece, const Matrix34& matrix);
// Whether every side shows one colour at its centre; pieces by slot.
bool IsSolved(const Piece (&pieces)[8]);
int ColourAtPoint(const Piece& piece, int x, int y, int z);
