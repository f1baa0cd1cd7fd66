// Twenty random face turns, drawn from the C runtime's generator.
#pragma once

#include "model/puzzle.h"

void ShuffleCube(PuzzleGame& game);
void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns);
int RandomBelow(int n);
