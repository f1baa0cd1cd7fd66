// gdi_bench CALLS [--min-ms N] [--repeat R] [--bpp 32|24]: draws each recorded frame of
// CALLS with GDI into a 240 x 270 DIB section over and over, for at least N ms of thread time
// (default 500), in R rounds over all scenes (default 3), and prints per scene "NAME CPU_NS
// WALL_NS FRAMES": the medians of thread time and elapsed time per frame. Last comes
// "gdi-fill": one PatBlt of the whole bitmap, the GDI floor. Lines starting with # are comments.
//
// CALLS is a call list (tests/support/call_list.h), as `vexal_bench --write-calls` writes it;
// a scene's frames are drawn in turn. Brushes are made once before timing, as the game makes
// its brushes once; each drawn frame starts from the stock white brush, and paints its whole
// background itself. Exit code 0 on success; 2 bad arguments or file, 3 a bad call list,
// 4 GDI failure.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/call_list.h"

namespace {

// A recorded frame made ready for GDI: the brush of every Brush call and the points as POINTs.
struct Frame {
    const CallFrame* calls;
    std::vector<HBRUSH> brushes;  // by call
    std::vector<POINT> points;
};

bool ParseLong(const char* text, long* value, char** end) {
    const long long v = std::strtoll(text, end, 0);
    if (*end == text || v < -2147483647LL - 1 || v > 0xFFFFFFFFLL) {
        return false;
    }
    *value = static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    return true;
}

HBRUSH BrushFor(std::map<COLORREF, HBRUSH>* brushes, COLORREF colour) {
    auto it = brushes->find(colour);
    if (it != brushes->end()) {
        return it->second;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    (*brushes)[colour] = brush;
    return brush;
}

Frame Prepare(const CallFrame& recorded, std::map<COLORREF, HBRUSH>* brushes) {
    Frame frame{&recorded, std::vector<HBRUSH>(recorded.calls.size()), {}};
    for (std::size_t i = 0; i < recorded.calls.size(); ++i) {
        if (recorded.calls[i].kind == CanvasCall::Kind::Brush) {
            frame.brushes[i] = BrushFor(brushes, recorded.calls[i].colour);
        }
    }
    for (const Point& p : recorded.points) {
        frame.points.push_back(POINT{p.x, p.y});
    }
    return frame;
}

void Draw(HDC dc, HGDIOBJ stockBrush, const Frame& frame) {
    SelectObject(dc, stockBrush);
    const std::vector<CanvasCall>& calls = frame.calls->calls;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const CanvasCall& c = calls[i];
        switch (c.kind) {
            case CanvasCall::Kind::Brush:
                SelectObject(dc, frame.brushes[i]);
                break;
            case CanvasCall::Kind::Rect:
                Rectangle(dc, c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
                break;
            case CanvasCall::Kind::Poly:
                Polygon(dc, frame.points.data() + c.first, c.count);
                break;
        }
    }
}

// The calling thread's user and kernel time in 100 ns units (Wine counts it in 10 ms ticks,
// hence the long timing windows).
std::uint64_t ThreadTime() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto join = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32U) | t.dwLowDateTime;
    };
    return join(kernel) + join(user);
}

struct Timing {
    double cpuNs;   // thread time per draw
    double wallNs;  // elapsed time per draw
    long count;
};

// Repeats `draw` in batches until minMs of thread time have passed.
template <typename DrawFn>
Timing TimeOnce(DrawFn draw, long minMs) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 20; ++i) {
        draw();
    }
    GdiFlush();
    long n = 0;
    QueryPerformanceCounter(&start);
    const std::uint64_t cpuStart = ThreadTime();
    std::uint64_t cpuNow = cpuStart;
    do {
        for (int i = 0; i < 50; ++i) {
            draw();
        }
        GdiFlush();
        n += 50;
        cpuNow = ThreadTime();
    } while (static_cast<double>(cpuNow - cpuStart) / 1e4 < static_cast<double>(minMs));
    QueryPerformanceCounter(&now);
    const double wall = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return Timing{static_cast<double>(cpuNow - cpuStart) * 100.0 / static_cast<double>(n),
                  wall * 1e9 / static_cast<double>(n), n};
}

// The median of a few timings.
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = nullptr;
    long minMs = 500;
    long bpp = 32;
    long repeat = 3;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--min-ms") == 0 && i + 1 < argc) {
            ++i;
            if (!ParseLong(argv[i], &minMs, &end) || *end != '\0' || minMs < 1) {
                path = nullptr;
                break;
            }
        } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            ++i;
            if (!ParseLong(argv[i], &repeat, &end) || *end != '\0' || repeat < 1 || repeat > 100) {
                path = nullptr;
                break;
            }
        } else if (std::strcmp(argv[i], "--bpp") == 0 && i + 1 < argc) {
            ++i;
            if (!ParseLong(argv[i], &bpp, &end) || *end != '\0' || (bpp != 32 && bpp != 24)) {
                path = nullptr;
                break;
            }
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            path = nullptr;
            break;
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "usage: gdi_bench CALLS [--min-ms N] [--repeat R] [--bpp 32|24]\n");
        return 2;
    }
    std::vector<CallScene> scenes;
    std::string error;
    if (!ReadCallListFile(path, &scenes, &error)) {
        std::fprintf(stderr, "gdi_bench: %s\n", error.c_str());
        return error.rfind("cannot ", 0) == 0 ? 2 : 3;  // the file, or a line in it
    }
    if (scenes.empty()) {
        std::fprintf(stderr, "gdi_bench: no frames in %s\n", path);
        return 2;
    }
    std::map<COLORREF, HBRUSH> brushes;
    std::vector<std::vector<Frame>> prepared;
    for (const CallScene& scene : scenes) {
        prepared.emplace_back();
        for (const CallFrame& frame : scene.frames) {
            prepared.back().push_back(Prepare(frame, &brushes));
        }
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCallFrameWidth;
    info.bmiHeader.biHeight = -kCallFrameHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (bitmap == nullptr || bits == nullptr || dc == nullptr) {
        std::fprintf(stderr, "gdi_bench: cannot create the DIB section\n");
        return 4;
    }
    SelectObject(dc, bitmap);
    SetPolyFillMode(dc, ALTERNATE);
    const HGDIOBJ stockBrush = GetStockObject(WHITE_BRUSH);
    for (const auto& b : brushes) {
        if (b.second == nullptr) {
            std::fprintf(stderr, "gdi_bench: cannot create a brush\n");
            return 4;
        }
    }

    // Each round times every scene and the fill once, so that a spell of other work on a shared
    // machine slows one timing of several scenes rather than every timing of one.
    HBRUSH fill = CreateSolidBrush(RGB(0, 0, 128));
    const std::size_t jobs = scenes.size() + 1;  // the scenes, then the fill
    std::vector<std::vector<double>> cpu(jobs);
    std::vector<std::vector<double>> wall(jobs);
    std::vector<long> counts(jobs, 0);
    auto record = [&](std::size_t job, const Timing& t) {
        cpu[job].push_back(t.cpuNs);
        wall[job].push_back(t.wallNs);
        counts[job] += t.count;
    };
    for (long r = 0; r < repeat; ++r) {
        for (std::size_t s = 0; s < scenes.size(); ++s) {
            const std::vector<Frame>& frames = prepared[s];
            std::size_t next = 0;
            const Timing t = TimeOnce(
                [&] {
                    Draw(dc, stockBrush, frames[next]);
                    next = next + 1 == frames.size() ? 0 : next + 1;
                },
                minMs);
            record(s, t);
        }
        SelectObject(dc, fill);
        const Timing t = TimeOnce([&] { PatBlt(dc, 0, 0, kCallFrameWidth, kCallFrameHeight, PATCOPY); }, minMs);
        record(scenes.size(), t);
    }
    std::printf("# name cpu-ns/frame wall-ns/frame frames\n");
    for (std::size_t j = 0; j < jobs; ++j) {
        const char* name = j < scenes.size() ? scenes[j].name.c_str() : "gdi-fill";
        std::printf("%s %.0f %.0f %ld\n", name, Median(cpu[j]), Median(wall[j]), counts[j]);
    }
    std::fflush(stdout);
    return 0;
}
