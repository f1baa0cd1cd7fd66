// Twenty random face turns, drawn from the game's C runtime generator.
#pragma once

#include "model/puzzle.h"
#include "platform/crt_rand.h"

void ShuffleCube(PuzzleGame& game);
// One face turn (face 0..5, 1..3 quarter turns) through the same commit as a stylus turn.
void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns);
int RandomBelow(CrtRandom& random, int n);
