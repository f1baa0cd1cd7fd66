// Committing a turn to the model, and the solved check.
#pragma once

#include "model/puzzle.h"

// The end of a layer drag: CommitTurn, then CheckSolved. Returns CommitTurn's quarter turns.
int FinishLayerTurn(PuzzleGame& game);
// Snaps the turning axis's angle to whole quarter turns and makes the turn permanent: the model
// points of the marked pieces turned, their records moved along the face's slots. Returns how
// many quarter turns the records moved, 0..4 (4: a whole turn, which leaves every record).
int CommitTurn(PuzzleGame& game);
// The solved check after a turn: m_solved, and "Shuffle" and "New Skin" shown or hidden.
void CheckSolved(PuzzleGame& game);
// Marks the face's layer and turns it by the quarter turns, as a drag leaves it before release.
void SetUpFaceTurn(PuzzleGame& game, FaceTurn turn);
void TurnPieceModel(Piece& piece, const Matrix34& matrix);
// Whether every side shows one colour at its centre; pieces by slot.
bool IsSolved(const Piece (&pieces)[8]);
int ColourAtPoint(const Piece& piece, int x, int y, int z);
