// One frame of the puzzle into the main window, through an off-screen bitmap.
#pragma once

#include <windows.h>

#include "model/puzzle.h"

void PaintFrame(PuzzleGame& game, HWND hwnd);
