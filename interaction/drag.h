// The steps of a drag beneath the game's StylusDown, StylusMove and StylusUp. Shells never call
// these; tests of the drag reach them here.
#pragma once

#include "model/puzzle.h"

// One movement step of a layer drag (drag mode 1) and of a whole-puzzle drag (mode 2).
void DragLayer(PuzzleGame& game, int x, int y);
void DragWholeCube(PuzzleGame& game, int x, int y);
// Whole degrees from one step's travel (ix right, iy up) along the chosen reference direction,
// signed so the touched point follows the stylus, added to the turning axis's angle.
void TurnStep(PuzzleGame& game, int ix, int iy);
