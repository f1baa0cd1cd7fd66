#include "shell/handheld/icon.h"

#include <algorithm>
#include <memory>

#include "platform/soft_canvas.h"
#include "render/frame.h"

std::vector<std::uint8_t> MakeIconRgba(const PuzzleGame& game, int size) {
    auto canvas = std::make_unique<SoftCanvas>();
    ComposeFrame(game, *canvas, g_drawOrder);
    return MakeIconRgbaFromFrame(canvas->Rgb(), g_solved != 0 ? g_solvedBrush : g_backgroundBrush, size);
}

std::vector<std::uint8_t> MakeIconRgbaFromFrame(const std::uint8_t* rgb, Colour background, int size) {
    auto pixelAt = [rgb](int x, int y) {
        const std::uint8_t* p = rgb + (static_cast<std::size_t>(y) * kFrameWidth + static_cast<std::size_t>(x)) * 3U;
        return static_cast<Colour>(p[0]) | (static_cast<Colour>(p[1]) << 8U) | (static_cast<Colour>(p[2]) << 16U);
    };
    // The puzzle is what is not background; the frame's black top row and left column
    // belong to the background too.
    auto isPuzzle = [&](int x, int y) { return x > 0 && y > 0 && pixelAt(x, y) != background; };
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
                    const Colour c = pixelAt(x, y);
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
