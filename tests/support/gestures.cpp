#include "tests/support/gestures.h"

#include <algorithm>
#include <sstream>

#include "render/frame.h"

std::string GenerateReplayScript(int events, std::uint32_t scriptSeed, std::uint32_t gestureSeed) {
    std::uint32_t state = gestureSeed;
    auto next = [&state](int n) {
        state = state * 1664525U + 1013904223U;
        return static_cast<int>((state >> 8U) % static_cast<std::uint32_t>(n));
    };
    std::ostringstream out;
    out << "seed " << scriptSeed << '\n';
    int written = 0;
    int gesture = 0;
    while (written < events) {
        ++gesture;
        if (gesture % 25 == 0) {
            out << (gesture % 100 == 0 ? "command change-skin\n" : "command shuffle\n");
            ++written;
            continue;
        }
        const bool beside = next(4) == 0;
        int x = beside ? 10 + next(20) : 80 + next(80);
        int y = beside ? 40 + next(190) : 80 + next(110);
        const int dx = next(9) - 4;
        const int dy = next(9) - 4;
        out << "down " << x << ' ' << y << '\n';
        const int moves = 8 + next(16);
        for (int i = 0; i < moves; ++i) {
            x = std::clamp(x + dx, 0, kFrameWidth - 1);
            y = std::clamp(y + dy, 0, kFrameHeight - 1);
            out << "move " << x << ' ' << y << '\n';
        }
        out << "up\n";
        written += moves + 2;
    }
    return out.str();
}
