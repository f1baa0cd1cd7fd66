// Turns named as the player sees the puzzle now: up, down, left, right, front and back, each
// clockwise as seen from outside that side, and turns of the whole puzzle about the view's own
// axes. The keys and the strip's buttons play these; the names follow the view as it turns.
#pragma once

#include "model/puzzle.h"

enum class ViewFace : std::uint8_t { Up, Down, Left, Right, Front, Back };
constexpr int kViewFaceCount = 6;
// The letters players write for them: U D L R F B.
constexpr char kViewFaceLetters[kViewFaceCount + 1] = "UDLRFB";

// The turn face (0..5) that shows as `side` in the game's view now.
int ModelFaceOf(const PuzzleGame& game, ViewFace side);
// How the game's turn face shows now.
ViewFace ViewFaceOf(const PuzzleGame& game, int face);
// The quarter turns (FaceTurn::quarterTurns) that turn a face clockwise as seen from outside it.
int ClockwiseQuarters(int face);
// The move that turns `side` clockwise (1), half round (2) or anticlockwise (3).
FaceTurn ViewTurn(const PuzzleGame& game, ViewFace side, int clockwiseQuarters);
// How a move shows: the side it turns and its quarter turns clockwise as seen from that side.
void DescribeTurn(const PuzzleGame& game, FaceTurn turn, ViewFace* side, int* clockwiseQuarters);

// Turns the whole puzzle a quarter turn as `side` turns (Right: x, Up: y, Front: z;
// anticlockwise when inverse). Only the view changes; no move. False while the stylus is down.
bool TurnWholePuzzle(PuzzleGame& game, ViewFace side, bool inverse);
