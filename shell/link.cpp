#include "shell/link.h"

#include <cstdint>
#include <cstring>

#include "interaction/commit.h"
#include "interaction/moves.h"
#include "interaction/shuffle.h"
#include "interaction/view_turns.h"
#include "render/projection.h"
#include "solver/solver.h"

namespace {

constexpr char kVersion = '1';
constexpr int kHeaderBytes = 17;
constexpr int kHeaderChars = 23;  // ceil(17 * 8 / 6)
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr char kSideLetters[] = "FBLRUD";  // turn faces 0..5
constexpr unsigned kFlagStickers = 1U;
constexpr unsigned kFlagShuffled = 2U;
constexpr unsigned kFlagChecked = 4U;
// The turns that build a shuffle's pieces: at most 11 to solve them and 4 to turn the whole
// puzzle; a few more are let in.
// A game's view angles in degrees, x, y, z: the fold leaves x in -270..90, y in -90..270 and z
// in -90..90 (a hair more for rounding); no other view is a game's.
constexpr float kViewLow[3] = {-270.01F, -90.01F, -90.01F};
constexpr float kViewHigh[3] = {90.01F, 270.01F, 90.01F};

int ValueOf(char c) {
    const char* at = std::strchr(kAlphabet, c);
    return c != '\0' && at != nullptr ? static_cast<int>(at - kAlphabet) : -1;
}

void PutU32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(v >> (8U * static_cast<unsigned>(i)));
    }
}

std::uint32_t GetU32(const std::uint8_t* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(at[i]) << (8U * static_cast<unsigned>(i));
    }
    return v;
}

std::uint32_t BitsOf(float f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float FloatOf(std::uint32_t bits) {
    float f = 0.0F;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void Encode(const std::uint8_t (&bytes)[kHeaderBytes], std::string* out) {
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const std::uint8_t b : bytes) {
        buffer = (buffer << 8U) | b;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            *out += kAlphabet[(buffer >> static_cast<unsigned>(bits)) & 63U];
        }
    }
    if (bits > 0) {
        *out += kAlphabet[(buffer << static_cast<unsigned>(6 - bits)) & 63U];
    }
}

// False for a character outside the alphabet, or padding bits that are not zero.
bool Decode(const char* chars, std::uint8_t (&bytes)[kHeaderBytes]) {
    std::uint32_t buffer = 0;
    int bits = 0;
    int n = 0;
    for (int i = 0; i < kHeaderChars; ++i) {
        const int v = ValueOf(chars[i]);
        if (v < 0) {
            return false;
        }
        buffer = (buffer << 6U) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes[n++] = static_cast<std::uint8_t>(buffer >> static_cast<unsigned>(bits));
        }
    }
    return (buffer & ((1U << static_cast<unsigned>(bits)) - 1U)) == 0;
}

// Reads turns up to `end`: false for anything that is not one.
bool ReadTurns(const std::string& text, std::size_t from, std::size_t end, FaceTurn* turns, int room, int* count) {
    int n = 0;
    for (std::size_t i = from; i < end; ++i) {
        const char c = text[i];
        const bool upper = c >= 'A' && c <= 'Z';
        const char letter = upper ? c : static_cast<char>(c - 'a' + 'A');
        const char* side =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? std::strchr(kSideLetters, letter) : nullptr;
        if (side == nullptr || n == room) {
            return false;
        }
        const int face = static_cast<int>(side - kSideLetters);
        int clockwise = upper ? 1 : 3;
        if (upper && i + 1 < end && text[i + 1] == '2') {
            clockwise = 2;
            ++i;
        }
        turns[n++] = FaceTurn{face, (ClockwiseQuarters(face) * clockwise) % 4};
    }
    *count = n;
    return true;
}

// Bit for bit: a frame depends on the bits, and -0 is not 0 there.
template <std::size_t N>
bool SameBits(const float (&a)[N], const float (&b)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (BitsOf(a[i]) != BitsOf(b[i])) {
            return false;
        }
    }
    return true;
}

bool SameModel(const Piece (&a)[8], const Piece (&b)[8]) {
    for (int s = 0; s < 8; ++s) {
        if (!SameBits(a[s].x, b[s].x) || !SameBits(a[s].y, b[s].y) || !SameBits(a[s].z, b[s].z) ||
            std::memcmp(a[s].faceColour, b[s].faceColour, sizeof a[s].faceColour) != 0) {
            return false;
        }
    }
    return true;
}

// A quarter turn of the whole puzzle about axis 0 (x), 1 (y) or 2 (z): both its layers.
constexpr int kAxisFaces[3][2] = {{2, 3}, {4, 5}, {0, 1}};

// Turns from the puzzle as it starts to `pieces`, into turns: up to four that turn the whole
// puzzle, then the reverse of an optimal solution. Checked by playing them. -1 when the pieces
// are no position of the puzzle.
int TurnsToBuild(const Piece (&pieces)[8], FaceTurn (&turns)[kMaxBaseTurns]) {
    FaceTurn solution[kMaxDistance];
    const int solutionLength = OptimalSolution(pieces, solution);
    if (solutionLength < 0) {
        return -1;
    }
    PuzzleGame solved(0, nullptr);
    std::memcpy(solved.m_pieces, pieces, sizeof solved.m_pieces);
    for (int i = 0; i < solutionLength; ++i) {
        ApplyFaceTurn(solved, solution[i].face, solution[i].quarterTurns);
    }
    // The whole-puzzle turn from the start to that solved puzzle: the 24 are all within two
    // quarter turns about the axes (four layer turns).
    const PuzzleGame start(0, nullptr);
    int whole = -1;
    int found[2][2] = {};
    for (int a = -1; a < 3 && whole < 0; ++a) {
        for (int qa = 1; qa <= (a < 0 ? 1 : 3) && whole < 0; ++qa) {
            for (int b = -1; b < 3 && whole < 0; ++b) {
                for (int qb = 1; qb <= (b < 0 ? 1 : 3) && whole < 0; ++qb) {
                    PuzzleGame g = start;
                    if (a >= 0) {
                        ApplyFaceTurn(g, kAxisFaces[a][0], qa);
                        ApplyFaceTurn(g, kAxisFaces[a][1], qa);
                    }
                    if (b >= 0) {
                        ApplyFaceTurn(g, kAxisFaces[b][0], qb);
                        ApplyFaceTurn(g, kAxisFaces[b][1], qb);
                    }
                    if (SameModel(g.m_pieces, solved.m_pieces)) {
                        whole = 0;
                        found[0][0] = a;
                        found[0][1] = qa;
                        found[1][0] = b;
                        found[1][1] = qb;
                    }
                }
            }
        }
    }
    if (whole < 0) {
        return -1;
    }
    int n = 0;
    for (const auto& axis : found) {
        if (axis[0] >= 0) {
            turns[n++] = FaceTurn{kAxisFaces[axis[0]][0], axis[1]};
            turns[n++] = FaceTurn{kAxisFaces[axis[0]][1], axis[1]};
        }
    }
    for (int i = solutionLength - 1; i >= 0; --i) {
        turns[n++] = Inverse(solution[i]);
    }
    PuzzleGame check = start;
    for (int i = 0; i < n; ++i) {
        ApplyFaceTurn(check, turns[i].face, turns[i].quarterTurns);
    }
    return SameModel(check.m_pieces, pieces) ? n : -1;
}

}  // namespace

std::string MoveText(FaceTurn turn) {
    std::string text;
    const int clockwise = (turn.quarterTurns * ClockwiseQuarters(turn.face)) % 4;
    const char letter = kSideLetters[turn.face];
    if (clockwise == 3) {
        text += static_cast<char>(letter - 'A' + 'a');
    } else {
        text += letter;
        if (clockwise == 2) {
            text += '2';
        }
    }
    return text;
}

bool MakeLink(const PuzzleGame& game, std::string* text, std::string* error) {
    LinkBase base;
    return MakeLink(game, &base, text, error);
}

bool MakeLink(const PuzzleGame& game, LinkBase* base, std::string* text, std::string* error) {
    FaceTurn path[kMaxHistory];
    const int pathLength = PathFromShuffle(game, path);
    if (pathLength < 0) {
        *error = "This game is too long to share: its moves since the shuffle no longer fit in a link.";
        return false;
    }
    int baseLength = 0;
    if (game.m_shuffled) {
        if (base->length < 0 || !SameModel(base->pieces, game.m_basePieces)) {
            std::memcpy(base->pieces, game.m_basePieces, sizeof base->pieces);
            base->length = TurnsToBuild(game.m_basePieces, base->turns);
        }
        baseLength = base->length;
        if (baseLength < 0) {
            *error = "This game cannot be written as a link.";
            return false;
        }
    }
    std::uint8_t bytes[kHeaderBytes] = {};
    bytes[0] = static_cast<std::uint8_t>((game.m_skin == Skin::Stickers ? kFlagStickers : 0U) |
                                         (game.m_shuffled ? kFlagShuffled : 0U) | (game.m_checked ? kFlagChecked : 0U));
    PutU32(bytes + 1, game.m_random.State());
    PutU32(bytes + 5, BitsOf(game.m_viewAngleX));
    PutU32(bytes + 9, BitsOf(game.m_viewAngleY));
    PutU32(bytes + 13, BitsOf(game.m_viewAngleZ));
    std::string out(1, kVersion);
    Encode(bytes, &out);
    for (int i = 0; i < baseLength; ++i) {
        out += MoveText(base->turns[i]);
    }
    out += '.';
    for (int i = 0; i < pathLength; ++i) {
        out += MoveText(path[i]);
    }
    *text = out;
    return true;
}

bool OpenLink(const std::string& text, Host* host, PuzzleGame* game, std::string* error) {
    auto fail = [error](const char* why) {
        *error = std::string("This link does not describe a game: ") + why + ".";
        return false;
    };
    if (text.empty()) {
        return fail("it is empty");
    }
    if (text.size() > kMaxLinkChars) {
        return fail("it is too long");
    }
    if (text[0] != kVersion) {
        return fail("it is of a version this program does not know");
    }
    std::uint8_t bytes[kHeaderBytes] = {};
    if (text.size() < 1 + kHeaderChars + 1 || !Decode(text.c_str() + 1, bytes)) {
        return fail("its first part is damaged");
    }
    const unsigned flags = bytes[0];
    if ((flags & ~(kFlagStickers | kFlagShuffled | kFlagChecked)) != 0) {
        return fail("it has settings this program does not know");
    }
    float view[3] = {};
    for (int i = 0; i < 3; ++i) {
        view[i] = FloatOf(GetU32(bytes + 5 + 4 * i));
        if (!(view[i] >= kViewLow[i] && view[i] <= kViewHigh[i])) {  // NaN too
            return fail("its view is out of range");
        }
    }
    const std::size_t dot = text.find('.', 1 + kHeaderChars);
    if (dot == std::string::npos || text.find('.', dot + 1) != std::string::npos) {
        return fail("its moves are damaged");
    }
    FaceTurn base[kMaxBaseTurns];
    int baseLength = 0;
    if (!ReadTurns(text, 1 + kHeaderChars, dot, base, kMaxBaseTurns, &baseLength)) {
        return fail("the turns of its shuffle are damaged");
    }
    const bool shuffled = (flags & kFlagShuffled) != 0;
    if (!shuffled && baseLength > 0) {
        return fail("it has turns of a shuffle but no shuffle");
    }
    FaceTurn path[kMaxHistory];
    int pathLength = 0;
    if (!ReadTurns(text, dot + 1, text.size(), path, kMaxHistory, &pathLength)) {
        return fail("its moves are damaged or more than 1,000");
    }

    PuzzleGame g(0, nullptr);
    g.m_skin = (flags & kFlagStickers) != 0 ? Skin::Stickers : Skin::Plain;
    for (int i = 0; i < baseLength; ++i) {
        ApplyFaceTurn(g, base[i].face, base[i].quarterTurns);
    }
    if (shuffled) {
        g.m_solved = 0;
        StartMoves(g);
    }
    for (int i = 0; i < pathLength; ++i) {
        PlayTurn(g, path[i]);
    }
    if (pathLength == 0 && (flags & kFlagChecked) != 0) {
        CheckSolved(g);
    }
    g.m_random.Seed(GetU32(bytes + 1));
    g.m_viewAngleX = view[0];
    g.m_viewAngleY = view[1];
    g.m_viewAngleZ = view[2];
    RefreshView(g);
    g.m_host = host;
    // The new game's buttons, whatever the window showed before.
    const bool solvedShown = g.m_checked && g.m_solved != 0;
    g.ShowButton(HostButton::Shuffle, solvedShown);
    g.ShowButton(HostButton::NewSkin, solvedShown);
    g.InvalidateFrame();
    *game = g;
    return true;
}
