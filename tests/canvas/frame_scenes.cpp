#include "tests/canvas/frame_scenes.h"

#include "interaction/turn.h"
#include "model/puzzle.h"
#include "platform/crt_rand.h"
#include "render/frame.h"

namespace {
constexpr std::uint32_t kShuffleSeed = 1234;
}

const FrameScene kFrameScenes[6] = {
    {"start_skin2", 2, true, false},           {"start_skin1", 1, true, false},
    {"start_skin2_unsolved", 2, false, false}, {"start_skin1_unsolved", 1, false, false},
    {"shuffled_skin2", 2, false, true},        {"shuffled_skin1", 1, false, true},
};

void SetUpScene(const FrameScene& scene) {
    ResetPuzzle();
    if (scene.shuffled) {
        CrtSrand(kShuffleSeed);
        ShuffleCube(g_game);
    }
    g_skin = scene.skin;
    g_solved = scene.solved ? 1 : 0;
}

CallFrame RecordScene(const FrameScene& scene) {
    SetUpScene(scene);
    CallFrame frame;
    frame.group = "frame";
    frame.clear = 0xFF00FF;  // magenta: any pixel the frame leaves alone shows
    RecordingCanvas recorder(&frame.calls);
    ComposeFrame(g_game, recorder);
    return frame;
}
