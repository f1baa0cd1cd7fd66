// The program's icon: the puzzle as it starts, taken from the game's own first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "model/puzzle.h"

// size x size pixels, 4 bytes each (red, green, blue, alpha), rows top to bottom; the
// background is transparent. Draws the game as it stands: keep a copy of the game as it
// started to draw the icon again later.
std::vector<std::uint8_t> MakeIconRgba(const PuzzleGame& game, int size);
