// vexal_drag_steps [STEPS [layer|cube]]: a drag of STEPS movements (default 1000) on a
// piece (layer, the default) or beside the pieces (cube), each painted into a SoftCanvas
// as the window procedure paints it. Under callgrind only the steps are counted: start-up,
// the press and a few warm-up steps run with collection off.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "tests/support/drags.h"
#include "tests/support/scenes.h"

namespace {

template <typename Drag>
int Run(long steps) {
    QuietHost host;
    auto canvas = std::make_unique<SoftCanvas>();
    PuzzleGame game = SetUpScene(SceneNamed("shuffled_skin2"));
    game.m_host = &host;
    Drag drag(game);
    if (!drag.Begin()) {
        std::fprintf(stderr, "vexal_drag_steps: the drag could not be started\n");
        return 1;
    }
    // Warm-up: lazy symbol binding and first-touch page faults are not the step's cost.
    for (int i = 0; i < 4 * kSwing; ++i) {
        drag.Step();
        ComposeFrame(game, *canvas);
    }
    unsigned checksum = 0;
    CALLGRIND_TOGGLE_COLLECT;
    for (long i = 0; i < steps; ++i) {
        drag.Step();
        ComposeFrame(game, *canvas);
        checksum += canvas->Rgb()[(i * 7919) % (SoftCanvas::kWidth * SoftCanvas::kHeight * 3)];
    }
    CALLGRIND_TOGGLE_COLLECT;
    drag.End();
    game.m_host = nullptr;
    std::printf("steps %ld checksum %u\n", steps, checksum);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    long steps = 1000;
    char* end = nullptr;
    if (argc > 1) {
        steps = std::strtol(argv[1], &end, 10);
    }
    const bool cube = argc > 2 && std::strcmp(argv[2], "cube") == 0;
    if (argc > 3 || (argc > 1 && (end == argv[1] || *end != '\0' || steps < 1 || steps > 100000000)) ||
        (argc > 2 && !cube && std::strcmp(argv[2], "layer") != 0)) {
        std::fprintf(stderr, "usage: vexal_drag_steps [STEPS [layer|cube]]\n");
        return 2;
    }
    return cube ? Run<CubeDrag>(steps) : Run<LayerDrag>(steps);
}
