// The moves since the last shuffle: every committed layer turn is one, and undo, redo and
// restart walk them. Undo and redo play turns through the same commit as a drag, so the pieces
// come back exactly; none of them acts while the stylus is down.
#pragma once

#include "model/puzzle.h"

// A new list after a shuffle: the pieces as it left them are where a restart goes back to.
void StartMoves(PuzzleGame& game);
// A turn committed by a drag: one move, when it moved the pieces (quarterTurns 1..3).
void RecordMove(PuzzleGame& game, FaceTurn turn);

// A turn played as a drag would commit it (the solved check and the buttons included), and
// recorded as a move. False, with nothing done, while the stylus is down or for no turn.
bool PlayTurn(PuzzleGame& game, FaceTurn turn);
bool Undo(PuzzleGame& game);
bool Redo(PuzzleGame& game);
// Back to the pieces as the last shuffle left them, as one step that undo takes back.
bool Restart(PuzzleGame& game);

[[nodiscard]] bool CanUndo(const PuzzleGame& game);
[[nodiscard]] bool CanRedo(const PuzzleGame& game);
[[nodiscard]] bool CanRestart(const PuzzleGame& game);
// Moves on the way from the last shuffle to the position now.
[[nodiscard]] int MoveCount(const PuzzleGame& game);
// That way, move by move, into turns (room for kMaxHistory). -1 when the list no longer reaches
// back to the shuffle.
int PathFromShuffle(const PuzzleGame& game, FaceTurn* turns);

// The turn that takes `turn` back.
constexpr FaceTurn Inverse(FaceTurn turn) {
    return FaceTurn{turn.face, 4 - turn.quarterTurns};
}
