#include "interaction/shuffle.h"

#include "platform/crt_rand.h"
#include "platform/host.h"

int RandomBelow(int n) {
    const int r = CrtRand();
    const int value = (r * n) / kCrtRandMax;
    // The single draw 32767 would give n itself.
    return value < n ? value : n - 1;
}

void ApplyFaceTurn(PuzzleGame& game, int face, int quarterTurns) {
    game.m_turnFace = face;
    game.m_turnAxis = g_faceAxis[face];
    for (std::uint8_t& flag : g_inTurningLayer) {
        flag = 0;
    }
    for (const int slot : g_faceSlots[face]) {
        g_inTurningLayer[slot] = 1;
    }
    g_turnAngleX = 0.0F;
    g_turnAngleY = 0.0F;
    g_turnAngleZ = 0.0F;
    const float angle = static_cast<float>(quarterTurns) * 90.0F;
    if (game.m_turnAxis == Axis::X) {
        g_turnAngleX = angle;
    } else if (game.m_turnAxis == Axis::Y) {
        g_turnAngleY = angle;
    } else {
        g_turnAngleZ = angle;
    }
    game.CommitTurn();
}

void ShuffleCube(PuzzleGame& game) {
    for (int i = 0; i < 20; ++i) {
        const int face = RandomBelow(6);
        const int quarters = RandomBelow(3) + 1;
        ApplyFaceTurn(game, face, quarters);
    }
    g_solved = 0;
    HostShowButton(HostButton::Shuffle, false);
    HostShowButton(HostButton::NewSkin, false);
}
