// The puzzle states whose frames the tests and benchmarks share: kept as golden images,
// compared with GDI, timed and checked for allocations.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "tests/support/call_list.h"

struct FrameScene {
    const char* name;  // also its golden image's file name and its benchmarks' name
    Skin skin;
    bool solved;    // the background; the pieces come from `shuffled`
    bool shuffled;  // twenty face turns from kSceneSeed
    int turnFace;   // a layer shown turned, as during a drag, or -1 for a still puzzle
    float turnAngle;
};

constexpr int kFrameSceneCount = 10;
extern const FrameScene kFrameScenes[kFrameSceneCount];
constexpr std::uint32_t kSceneSeed = 1234;

// The scene of that name; the table's first for a name it does not hold.
const FrameScene& SceneNamed(const char* name);
// A game in the scene's state, from a fresh start with no host, with the draw order as its
// first paint would leave it.
PuzzleGame SetUpScene(const FrameScene& scene);
// The calls one frame of the scene makes, on a magenta bitmap: any pixel the frame leaves
// alone shows.
CallFrame RecordScene(const FrameScene& scene);
// Plays `frame` into `canvas` as GDI draws it into a fresh bitmap: cleared to the frame's
// colour, the stock white brush selected. Returns the pixels.
const std::uint8_t* PaintFresh(const CallFrame& frame, SoftCanvas* canvas);
