// The puzzle states whose frames are compared with GDI and kept as golden images.
#pragma once

#include "model/puzzle.h"
#include "tests/canvas/canvas_calls.h"

struct FrameScene {
    const char* name;
    Skin skin;
    bool solved;    // the background; the pieces come from `shuffled`
    bool shuffled;  // twenty face turns from a fixed seed
    int turnFace;   // a layer shown turned during a drag, or -1
    float turnAngle;
};

extern const FrameScene kFrameScenes[10];

// Brings the puzzle to the scene's state (from a fresh start, so scenes do not interact).
void SetUpScene(const FrameScene& scene);
// The calls one frame of the scene makes.
CallFrame RecordScene(const FrameScene& scene);
