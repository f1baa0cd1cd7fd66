// A game as a short text that rebuilds it anywhere: the link a player shares, the heart of the
// kept game, and vexal-replay's --game and --link.
//
// Version 1 reads "1", then 23 characters of base64url holding 17 bytes (a byte of flags: bit 0
// the stickers skin, bit 1 shuffled, bit 2 a solved check ran since; the generator's state; the
// three view angles' float bits, x, y, z; all little-endian), then the turns that build the
// pieces the last shuffle left from the puzzle as it starts, a ".", and the moves since the
// shuffle. A turn is a side's letter, F B L R U D for the turn faces 0 to 5 (+Z -Z -X +X +Y -Y,
// the sides as the puzzle starts: front, back, left, right, up, down): upper case clockwise as
// seen from outside that side, lower case anticlockwise, upper case and "2" half round.
#pragma once

#include <cstddef>
#include <string>

#include "model/puzzle.h"

// Longer than any link a game can give: the header, the pieces' turns, 1,000 half turns.
constexpr std::size_t kMaxLinkChars = 2100;

// A move in the link's notation ("R", "u", "F2").
std::string MoveText(FaceTurn turn);

constexpr int kMaxBaseTurns = 20;

// The turns that build a shuffle's pieces, kept between links of one game: finding them is a
// search of up to a few milliseconds, and a kept game makes a link after every move.
struct LinkBase {
    Piece pieces[8] = {};
    FaceTurn turns[kMaxBaseTurns] = {};
    int length = -1;  // -1: none found yet
};

// The game as a link. False (and *error says why) when the moves since the shuffle reach back
// further than the game's list keeps them.
bool MakeLink(const PuzzleGame& game, std::string* text, std::string* error);
// The same, with the base turns taken from *base when its pieces are the shuffle's, else found
// and kept there.
bool MakeLink(const PuzzleGame& game, LinkBase* base, std::string* text, std::string* error);
// The game a link describes: its pieces, skin, view, generator and moves (undoable back to the
// shuffle), on host. False with a one-line reason, and *game untouched, for a link that is not
// one: an unknown version, a character out of place, too long, a move list past the bound, a
// view that is not a number.
bool OpenLink(const std::string& text, Host* host, PuzzleGame* game, std::string* error);
