// The hot paths as repeatable steps, shared by the benchmarks, the instruction budget and
// the allocation test so that they all measure the same work.
#pragma once

#include "model/puzzle.h"
#include "platform/host.h"

// Where to press on a face: the centroid of the projected corners of face f of the piece in a slot.
void FaceCentre(const PuzzleGame& game, int slot, int face, int* x, int* y);

// A window that remembers nothing and allocates nothing.
class QuietHost final : public Host {
public:
    void InvalidateFrame() override { ++invalidations; }
    void ShowButton(HostButton /*button*/, bool /*show*/) override {}
    LocalTime GetLocalTime() override { return LocalTime{0, 0, 0}; }

    long invalidations = 0;
};

// A layer drag under way: pressed on a coloured face of the front piece, moved past the
// dead zone so a turn is chosen. Each step moves the stylus a few pixels along the
// opening direction, back and forth, so the layer swings and the frame keeps changing.
class LayerDrag {
public:
    explicit LayerDrag(PuzzleGame& game) : m_game(game) {}

    // False when no coloured face is under the front piece or no turn was chosen.
    bool Begin();
    void Step();
    void End();

private:
    PuzzleGame& m_game;
    int m_x0 = 0;
    int m_y0 = 0;
    int m_phase = 0;
};

// A whole-puzzle drag beside the pieces: every step folds a small rotation into the view.
class CubeDrag {
public:
    explicit CubeDrag(PuzzleGame& game) : m_game(game) {}

    // False when the steps leave the view unchanged.
    bool Begin();
    void Step();
    void End();

private:
    PuzzleGame& m_game;
    int m_phase = 0;
};

// Stylus travel per step and the swing, in steps each way.
constexpr int kStepDx = 4;
constexpr int kStepDy = 3;
constexpr int kSwing = 8;
