#include "tests/support/hidden_polygons.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/soft_canvas.h"
#include "tests/support/scenes.h"

namespace {

constexpr std::size_t kBytes = static_cast<std::size_t>(SoftCanvas::kWidth) * SoftCanvas::kHeight * 3;

SoftCanvas s_probe;  // a frame's worth of pixels: not on the stack

const std::uint8_t* Paint(const CallFrame& frame) {
    return PaintFresh(frame, &s_probe);
}

}  // namespace

int DropHiddenPolygons(CallFrame* frame) {
    const std::uint8_t* painted = Paint(*frame);
    const std::vector<std::uint8_t> want(painted, painted + kBytes);
    int dropped = 0;
    std::vector<CanvasCall>& calls = frame->calls;
    for (std::size_t i = 0; i < calls.size();) {
        if (calls[i].kind != CanvasCall::Kind::Poly) {
            ++i;
            continue;
        }
        const CanvasCall polygon = calls[i];
        calls.erase(calls.begin() + static_cast<std::ptrdiff_t>(i));
        if (std::memcmp(want.data(), Paint(*frame), kBytes) == 0) {
            ++dropped;
        } else {
            calls.insert(calls.begin() + static_cast<std::ptrdiff_t>(i), polygon);
            ++i;
        }
    }
    return dropped;
}
