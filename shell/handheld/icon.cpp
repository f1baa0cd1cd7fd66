#include "shell/handheld/icon.h"

#include <algorithm>
#include <memory>

#include "platform/soft_canvas.h"
#include "render/frame.h"

std::vector<std::uint8_t> MakeIconRgba(const PuzzleGame& game, int size) {
    auto canvas = std::make_unique<SoftCanvas>();
    // Painted from a copy: a paint records its draw order in the game, and the icon is no paint
    // of the window.
    PuzzleGame copy = game;
    copy.m_host = nullptr;
    ComposeFrame(copy, *canvas);
    // The puzzle is what is not background; the frame's black top row and left column
    // belong to the background too.
    const Colour background = game.m_solved != 0 ? kSolvedBrush : kBackgroundBrush;
    auto isPuzzle = [&](int x, int y) { return x > 0 && y > 0 && canvas->PixelAt(x, y) != background; };
    int left = kFrameWidth;
    int top = kFrameHeight;
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            if (isPuzzle(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4U, 0);
    if (right < 0 || size <= 0) {
        return rgba;
    }
    // A square around the puzzle with a little air, shrunk by averaging each cell.
    const int side = std::max(right - left, bottom - top) + 1 + 4;
    const int x0 = (left + right + 1 - side) / 2;
    const int y0 = (top + bottom + 1 - side) / 2;
    for (int iy = 0; iy < size; ++iy) {
        for (int ix = 0; ix < size; ++ix) {
            const int sx0 = x0 + ix * side / size;
            const int sx1 = std::max(sx0 + 1, x0 + (ix + 1) * side / size);
            const int sy0 = y0 + iy * side / size;
            const int sy1 = std::max(sy0 + 1, y0 + (iy + 1) * side / size);
            long red = 0;
            long green = 0;
            long blue = 0;
            long covered = 0;
            long cells = 0;
            for (int y = sy0; y < sy1; ++y) {
                for (int x = sx0; x < sx1; ++x) {
                    ++cells;
                    if (x < 0 || y < 0 || x >= kFrameWidth || y >= kFrameHeight || !isPuzzle(x, y)) {
                        continue;
                    }
                    const Colour c = canvas->PixelAt(x, y);
                    red += RedOf(c);
                    green += GreenOf(c);
                    blue += BlueOf(c);
                    ++covered;
                }
            }
            std::uint8_t* out =
                &rgba[(static_cast<std::size_t>(iy) * static_cast<std::size_t>(size) + static_cast<std::size_t>(ix)) *
                      4U];
            if (covered > 0) {
                out[0] = static_cast<std::uint8_t>(red / covered);
                out[1] = static_cast<std::uint8_t>(green / covered);
                out[2] = static_cast<std::uint8_t>(blue / covered);
                out[3] = static_cast<std::uint8_t>(255 * covered / cells);
            }
        }
    }
    return rgba;
}
