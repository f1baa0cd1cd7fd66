// One frame of the puzzle onto a canvas of 240 x 270 pixels.
#pragma once

#include "model/puzzle.h"
#include "platform/canvas.h"

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 270;

// Background by solved state, then the pieces back to front.
void ComposeFrame(const PuzzleGame& game, Canvas& canvas);
void DrawPuzzle(const PuzzleGame& game, Canvas& canvas);
void DrawPiece(const Piece& piece, Canvas& canvas);
