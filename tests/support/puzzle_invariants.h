// What must hold after every event, whatever the stylus did: shared by the soak test and the fuzzers.
// Each check returns "" when all is well, otherwise a description of the first problem found.
#pragma once

#include <string>

#include "model/puzzle.h"

// The pieces as a fresh game holds them.
struct PieceCatalogue {
    Piece start[8];
    int faceColourCount[8];
    int stickerColourCount[8];
    // The last record of each slot whose shape passed, so an unchanged piece is not measured again.
    Piece verified[8];
};
void RecordStartPieces(const PuzzleGame& game, PieceCatalogue* catalogue);

// The signs of x, y and z of each slot's outer corner.
extern const int kSlotSigns[8][3];
// Every value a model coordinate may take (0, +-414, +-500, +-1000); anything else is a
// rounding or copying fault.
bool IsModelCoordinate(float v);
// Vertex 2 has no zero coordinate and lies next to the piece's outer corner: its signs name the
// slot the piece is in.
bool InSlotCorner(const Piece& piece, int slot);

// The same model points and colours: the pieces in the same place, however they were last projected.
bool SameModel(const Piece& a, const Piece& b);
bool SameModels(const Piece (&a)[8], const Piece (&b)[8]);

// Model, records, turn state, view angles, size and draw order. Call after BuildDrawOrder.
std::string CheckPuzzle(PieceCatalogue& catalogue, const PuzzleGame& game);

// Right after a stylus release that ran in drag mode 1: the commit is done and the solved flag
// and the two solved-state buttons tell the truth.
std::string CheckAfterLayerRelease(const PuzzleGame& game, bool shuffleShown, bool newSkinShown);

// How far the view rebuilt from the game's angles is from a proper rotation once scale and
// translation are taken out: the larger of max |R Rt - I| and |det R - 1|.
// NaN when an angle is not finite.
double ViewRotationError(const PuzzleGame& game);

// The first field in which two games differ, by its name, or "" when every field holds the
// same bytes (padding between fields is not looked at).
std::string StateDifference(const PuzzleGame& a, const PuzzleGame& b);
