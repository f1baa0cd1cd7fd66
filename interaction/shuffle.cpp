#include "interaction/shuffle.h"

#include "interaction/commit.h"
#include "interaction/moves.h"

int RandomBelow(CrtRandom& random, int n) {
    const int r = random.Next();
    const int value = (r * n) / kCrtRandMax;
    // The single draw 32767 would give n itself.
    return value < n ? value : n - 1;
}

void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns) {
    SetUpFaceTurn(game, FaceTurn{face, quarterTurns});
    CommitTurn(game);
}

void ShuffleCube(PuzzleGame& game) {
    for (int i = 0; i < 20; ++i) {
        const int face = RandomBelow(game.m_random, 6);
        const int quarters = RandomBelow(game.m_random, 3) + 1;
        ApplyFaceTurn(game, face, quarters);
    }
    game.m_solved = 0;
    game.ShowButton(HostButton::Shuffle, false);
    game.ShowButton(HostButton::NewSkin, false);
    StartMoves(game);
}
