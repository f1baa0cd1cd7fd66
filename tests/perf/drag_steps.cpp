// vexal_drag_steps [STEPS]: a layer drag of STEPS movements (default 1000), each painted
// into a SoftCanvas as the window procedure paints it. Under callgrind only the steps are
// counted: start-up, the press and a few warm-up steps run with collection off.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "tests/perf/perf_scenes.h"

int main(int argc, char** argv) {
    long steps = 1000;
    if (argc > 1) {
        char* end = nullptr;
        steps = std::strtol(argv[1], &end, 10);
        if (end == argv[1] || *end != '\0' || steps < 1 || steps > 100000000) {
            std::fprintf(stderr, "usage: vexal_drag_steps [STEPS]\n");
            return 2;
        }
    }
    QuietHost host;
    auto canvas = std::make_unique<SoftCanvas>();
    SetUpFrameScene(kFrameScenes[3]);
    SetHost(&host);
    LayerDrag drag;
    if (!drag.Begin()) {
        std::fprintf(stderr, "vexal_drag_steps: no layer drag could be started\n");
        return 1;
    }
    // Warm-up: lazy symbol binding and first-touch page faults are not the step's cost.
    for (int i = 0; i < 4 * kSwing; ++i) {
        drag.Step();
        ComposeFrame(g_game, *canvas);
    }
    unsigned checksum = 0;
    CALLGRIND_TOGGLE_COLLECT;
    for (long i = 0; i < steps; ++i) {
        drag.Step();
        ComposeFrame(g_game, *canvas);
        checksum += canvas->Rgb()[(i * 7919) % (SoftCanvas::kWidth * SoftCanvas::kHeight * 3)];
    }
    CALLGRIND_TOGGLE_COLLECT;
    drag.End();
    SetHost(nullptr);
    std::printf("steps %ld checksum %u\n", steps, checksum);
    return 0;
}
