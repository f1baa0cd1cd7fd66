// One frame of the puzzle onto a canvas of 240 x 270 pixels.
#pragma once

#include "model/puzzle.h"
#include "platform/canvas.h"

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 270;

// Background by solved state, then the pieces back to front. Painting is the one writer of the
// game's m_drawOrder: the order it painted in, where the next press looks for the piece it touched.
void ComposeFrame(PuzzleGame& game, Canvas& canvas);
void DrawPuzzle(PuzzleGame& game, Canvas& canvas);
void DrawPiece(const Piece& piece, Skin skin, Canvas& canvas);
