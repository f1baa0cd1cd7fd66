#include "interaction/moves.h"

#include <cstring>

#include "interaction/commit.h"
#include "render/projection.h"

namespace {

std::uint8_t EntryOf(FaceTurn turn) {
    return static_cast<std::uint8_t>(turn.face * 3 + turn.quarterTurns - 1);
}

FaceTurn TurnOf(std::uint8_t entry) {
    return FaceTurn{entry / 3, entry % 3 + 1};
}

bool ValidTurn(FaceTurn turn) {
    return turn.face >= 0 && turn.face < 6 && turn.quarterTurns >= 1 && turn.quarterTurns <= 3;
}

void Push(MoveHistory& h, std::uint8_t entry) {
    h.count = h.cursor;  // what was undone can no longer be redone
    if (h.count == kMaxHistory) {
        std::memmove(h.entries, h.entries + 1, kMaxHistory - 1);
        --h.count;
        ++h.dropped;
    }
    h.entries[h.count++] = entry;
    h.cursor = h.count;
}

// Where the way to the entry before `end` starts: just after the last restart before it, or
// at the list's start. -1 when that start is not the shuffle's (entries were dropped).
int PathStart(const MoveHistory& h, int end) {
    for (int i = end - 1; i >= 0; --i) {
        if (h.entries[i] == kRestartEntry) {
            return i + 1;
        }
    }
    return h.dropped == 0 ? 0 : -1;
}

// The moves of the way between two entries, played through the commit, with one solved check.
void PlayForward(PuzzleGame& game, int from, int to) {
    for (int i = from; i < to; ++i) {
        SetUpFaceTurn(game, TurnOf(game.m_history.entries[i]));
        CommitTurn(game);
    }
    CheckSolved(game);
}

void PlayCommitted(PuzzleGame& game, FaceTurn turn) {
    SetUpFaceTurn(game, turn);
    FinishLayerTurn(game);
}

}  // namespace

void StartMoves(PuzzleGame& game) {
    game.m_history = MoveHistory{};
    std::memcpy(game.m_basePieces, game.m_pieces, sizeof game.m_pieces);
    game.m_shuffled = true;
    ++game.m_shuffleCount;
    game.m_checked = false;
}

void RecordMove(PuzzleGame& game, FaceTurn turn) {
    if (ValidTurn(turn)) {
        Push(game.m_history, EntryOf(turn));
        ++game.m_history.moves;
    }
}

bool PlayTurn(PuzzleGame& game, FaceTurn turn) {
    if (game.m_stylusHeld || !ValidTurn(turn)) {
        return false;
    }
    PlayCommitted(game, turn);
    RecordMove(game, turn);
    return true;
}

bool CanUndo(const PuzzleGame& game) {
    const MoveHistory& h = game.m_history;
    if (h.cursor == 0) {
        return false;
    }
    return h.entries[h.cursor - 1] != kRestartEntry || PathStart(h, h.cursor - 1) >= 0;
}

bool CanRedo(const PuzzleGame& game) {
    return game.m_history.cursor < game.m_history.count;
}

bool CanRestart(const PuzzleGame& game) {
    return game.m_history.moves > 0;
}

int MoveCount(const PuzzleGame& game) {
    return game.m_history.moves;
}

bool Undo(PuzzleGame& game) {
    if (game.m_stylusHeld || !CanUndo(game)) {
        return false;
    }
    MoveHistory& h = game.m_history;
    const std::uint8_t entry = h.entries[h.cursor - 1];
    if (entry == kRestartEntry) {
        // From the shuffle's pieces, the way that stood before the restart.
        const int start = PathStart(h, h.cursor - 1);
        PlayForward(game, start, h.cursor - 1);
        h.moves = h.cursor - 1 - start;
    } else {
        PlayCommitted(game, Inverse(TurnOf(entry)));
        --h.moves;
    }
    --h.cursor;
    return true;
}

bool Redo(PuzzleGame& game) {
    if (game.m_stylusHeld || !CanRedo(game)) {
        return false;
    }
    MoveHistory& h = game.m_history;
    const std::uint8_t entry = h.entries[h.cursor];
    if (entry == kRestartEntry) {
        std::memcpy(game.m_pieces, game.m_basePieces, sizeof game.m_pieces);
        RefreshView(game);
        CheckSolved(game);
        h.moves = 0;
    } else {
        PlayCommitted(game, TurnOf(entry));
        ++h.moves;
    }
    ++h.cursor;
    return true;
}

bool Restart(PuzzleGame& game) {
    if (game.m_stylusHeld || !CanRestart(game)) {
        return false;
    }
    std::memcpy(game.m_pieces, game.m_basePieces, sizeof game.m_pieces);
    RefreshView(game);
    CheckSolved(game);
    Push(game.m_history, kRestartEntry);
    game.m_history.moves = 0;
    return true;
}

int PathFromShuffle(const PuzzleGame& game, FaceTurn* turns) {
    const MoveHistory& h = game.m_history;
    const int start = PathStart(h, h.cursor);
    if (start < 0) {
        return -1;
    }
    for (int i = start; i < h.cursor; ++i) {
        turns[i - start] = TurnOf(h.entries[i]);
    }
    return h.cursor - start;
}
