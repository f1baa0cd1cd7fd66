// The program's icon: the puzzle as it starts, taken from the game's own first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "model/puzzle.h"
#include "platform/colour.h"

// size x size pixels, 4 bytes each (red, green, blue, alpha), rows top to bottom; the
// background is transparent. Draws the game as it stands, so call it before any move.
std::vector<std::uint8_t> MakeIconRgba(const PuzzleGame& game, int size);
// The same from a frame the game painted (kFrameWidth x kFrameHeight, 3 bytes a pixel) on
// the given background colour: a game that has moved on can still draw its start.
std::vector<std::uint8_t> MakeIconRgbaFromFrame(const std::uint8_t* rgb, Colour background, int size);
