// vexalmini-icon: writes the program's icon as a PNG with transparency, or checks a
// committed one against what the game draws now. With --background the icon is laid on
// that colour instead (a home-screen icon that must be opaque); with --maskable as well, it
// is shrunk into the middle circle that every home-screen mask keeps.
//   vexalmini-icon [--background RRGGBB [--maskable]] OUT.png [SIZE]
//   vexalmini-icon --check [--background RRGGBB [--maskable]] FILE.png [SIZE]
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "shell/handheld/icon.h"

namespace {

constexpr int kDefaultSize = 64;

bool WriteRgbaPng(const char* path, const std::vector<std::uint8_t>& rgba, int size) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    const bool ok = png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
    if (!ok) {
        std::fprintf(stderr, "vexalmini-icon: cannot write %s: %s\n", path, image.message);
    }
    return ok;
}

bool ReadRgbaPng(const char* path, std::vector<std::uint8_t>* rgba, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        std::fprintf(stderr, "vexalmini-icon: cannot read %s: %s\n", path, image.message);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    rgba->assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr) == 0) {
        std::fprintf(stderr, "vexalmini-icon: cannot read %s: %s\n", path, image.message);
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return true;
}

// Lays the icon on an opaque colour, each pixel mixed by its coverage.
void Flatten(std::vector<std::uint8_t>* rgba, unsigned long background) {
    const unsigned bg[3] = {static_cast<unsigned>((background >> 16U) & 0xFFU),
                            static_cast<unsigned>((background >> 8U) & 0xFFU),
                            static_cast<unsigned>(background & 0xFFU)};
    for (std::size_t i = 0; i < rgba->size(); i += 4) {
        const unsigned alpha = (*rgba)[i + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            (*rgba)[i + c] = static_cast<std::uint8_t>(((*rgba)[i + c] * alpha + bg[c] * (255U - alpha) + 127U) / 255U);
        }
        (*rgba)[i + 3] = 255;
    }
}

// The puzzle as every game starts; the seed plays no part before a shuffle.
const PuzzleGame& PuzzleAsBuilt() {
    static const PuzzleGame start(0, nullptr);
    return start;
}

// The icon as large as it fits with every pixel it covers inside the circle of 4/5 the side
// about the centre (a maskable icon's safe zone), centred on a transparent square.
std::vector<std::uint8_t> MakeMaskable(int size) {
    auto offset = [](int x, int y, int width) { return static_cast<std::size_t>((y * width) + x) * 4U; };
    std::vector<std::uint8_t> out(offset(0, size, size), 0);
    for (int inner = size * 4 / 5; inner > 1; --inner) {
        const std::vector<std::uint8_t> icon = MakeIconRgba(PuzzleAsBuilt(), inner);
        const int at = (size - inner) / 2;
        bool inside = true;
        std::fill(out.begin(), out.end(), 0);
        for (int y = 0; y < inner && inside; ++y) {
            for (int x = 0; x < inner && inside; ++x) {
                const long dx = (2L * (at + x)) + 1 - size;
                const long dy = (2L * (at + y)) + 1 - size;
                inside = icon[offset(x, y, inner) + 3] == 0 || 25 * ((dx * dx) + (dy * dy)) <= 16L * size * size;
                std::copy_n(&icon[offset(x, y, inner)], 4, &out[offset(at + x, at + y, size)]);
            }
        }
        if (inside) {
            return out;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool check = argc > first && std::strcmp(argv[first], "--check") == 0;
    first += check ? 1 : 0;
    long background = -1;
    if (argc > first + 1 && std::strcmp(argv[first], "--background") == 0) {
        char* end = nullptr;
        background = std::strtol(argv[first + 1], &end, 16);
        if (std::strlen(argv[first + 1]) != 6 || *end != '\0' || background < 0) {
            std::fprintf(stderr, "vexalmini-icon: --background takes a colour as RRGGBB\n");
            return 2;
        }
        first += 2;
    }
    const bool maskable = background >= 0 && argc > first && std::strcmp(argv[first], "--maskable") == 0;
    first += maskable ? 1 : 0;
    if (argc < first + 1 || argc > first + 2) {
        std::fprintf(stderr, "usage: vexalmini-icon [--check] [--background RRGGBB [--maskable]] FILE.png [SIZE]\n");
        return 2;
    }
    const int size = argc == first + 2 ? std::atoi(argv[first + 1]) : kDefaultSize;
    if (size < 16 || size > 512) {
        std::fprintf(stderr, "vexalmini-icon: SIZE must lie between 16 and 512\n");
        return 2;
    }
    std::vector<std::uint8_t> drawn = maskable ? MakeMaskable(size) : MakeIconRgba(PuzzleAsBuilt(), size);
    if (background >= 0) {
        Flatten(&drawn, static_cast<unsigned long>(background));
    }
    if (!check) {
        return WriteRgbaPng(argv[first], drawn, size) ? 0 : 1;
    }
    std::vector<std::uint8_t> stored;
    int width = 0;
    int height = 0;
    if (!ReadRgbaPng(argv[first], &stored, &width, &height)) {
        return 1;
    }
    if (width != size || height != size || stored != drawn) {
        std::fprintf(stderr,
                     "vexalmini-icon: %s differs from the icon the game draws; regenerate it with\n"
                     "  vexalmini-icon%s%s%s %s %d\n",
                     argv[first], background >= 0 ? " --background " : "", background >= 0 ? argv[check ? 3 : 2] : "",
                     maskable ? " --maskable" : "", argv[first], size);
        return 1;
    }
    return 0;
}
