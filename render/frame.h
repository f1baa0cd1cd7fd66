// One frame of the puzzle onto a canvas of 240 x 270 pixels.
#pragma once

#include "model/puzzle.h"
#include "platform/canvas.h"

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 270;

// Background by solved state, then the pieces back to front. The painting order is built into
// drawOrder; the shells pass g_drawOrder, where the next press looks for the piece it touched.
void ComposeFrame(const PuzzleGame& game, Canvas& canvas, int (&drawOrder)[8]);
void DrawPuzzle(const PuzzleGame& game, Canvas& canvas, int (&drawOrder)[8]);
void DrawPiece(const Piece& piece, Canvas& canvas);
