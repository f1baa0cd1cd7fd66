#include "interaction/shuffle.h"

#include "interaction/commit.h"

int RandomBelow(CrtRandom& random, int n) {
    const int r = random.Next();
    const int value = (r * n) / kCrtRandMax;
    // The single draw 32767 would give n itself.
    return value < n ? value : n - 1;
}

void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns) {
    game.m_turnFace = face;
    game.m_turnAxis = kFaceAxis[face];
    for (std::uint8_t& flag : game.m_inTurningLayer) {
        flag = 0;
    }
    for (const int slot : kFaceSlots[face]) {
        game.m_inTurningLayer[slot] = 1;
    }
    game.m_turnAngleX = 0.0F;
    game.m_turnAngleY = 0.0F;
    game.m_turnAngleZ = 0.0F;
    const float angle = static_cast<float>(quarterTurns) * 90.0F;
    if (game.m_turnAxis == Axis::X) {
        game.m_turnAngleX = angle;
    } else if (game.m_turnAxis == Axis::Y) {
        game.m_turnAngleY = angle;
    } else {
        game.m_turnAngleZ = angle;
    }
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
}
