// gdi_bench CALLS [--min-ms N] [--repeat R] [--bpp 32|24]: draws each recorded frame of
// CALLS with GDI into a 240 x 270 DIB section over and over, for at least N ms of thread time
// (default 500), R times (default 3), and prints per frame "NAME CPU_NS WALL_NS FRAMES": the
// medians of thread time and elapsed time per frame. Last comes "gdi-fill": one PatBlt of the
// whole bitmap, the GDI floor. Lines starting with # are comments.
//
// CALLS is what `vexal_bench --write-calls` writes: "scene NAME" starts a scene of one or
// more frames, each in the lines gdi_reference reads ("frame 0xBBGGRR", then "brush
// 0xBBGGRR", "rect L T R B", "poly N X1 Y1 ... XN YN"). A scene's frames are drawn in turn.
// Brushes are made once before timing, as the game makes its brushes once; each drawn
// frame starts from the stock white brush. Exit code 0 on success; 2 bad arguments or
// file, 3 bad input line, 4 GDI failure.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 270;
constexpr long kMaxPoints = 100000;

struct Call {
    enum Kind { Brush, Rect, Poly } kind;
    HBRUSH brush;
    int rect[4];
    std::size_t first;  // Poly: first point in Frame::points
    int count;
};

struct Frame {
    std::vector<Call> calls;
    std::vector<POINT> points;
};

// One or more frames; a scene of several is drawn frame after frame, timed per frame.
struct Scene {
    std::string name;
    std::vector<Frame> frames;
};

bool ParseLong(const char* text, long* value, char** end) {
    const long long v = std::strtoll(text, end, 0);
    if (*end == text || v < -2147483647LL - 1 || v > 0xFFFFFFFFLL) {
        return false;
    }
    *value = static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    return true;
}

class Reader {
public:
    explicit Reader(const char* text) : m_pos(text) {}
    bool Number(long* value) {
        char* end = nullptr;
        if (!ParseLong(m_pos, value, &end)) {
            return false;
        }
        m_pos = end;
        return true;
    }

private:
    const char* m_pos;
};

HBRUSH BrushFor(std::map<COLORREF, HBRUSH>* brushes, COLORREF colour) {
    auto it = brushes->find(colour);
    if (it != brushes->end()) {
        return it->second;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    (*brushes)[colour] = brush;
    return brush;
}

// Returns 0 or the exit code of the first problem.
int ReadScenes(std::FILE* in, std::vector<Scene>* scenes, std::map<COLORREF, HBRUSH>* brushes) {
    std::string line;
    char buffer[4096];
    int lineNumber = 0;
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
        line += buffer;
        if (line.back() != '\n' && !std::feof(in)) {
            continue;
        }
        ++lineNumber;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const char* rest = space == std::string::npos ? "" : line.c_str() + space + 1;
        Reader reader(rest);
        bool ok = true;
        if (word.empty()) {
            // blank line
        } else if (word == "scene") {
            scenes->push_back(Scene{rest, {}});
            ok = *rest != '\0';
        } else if (scenes->empty()) {
            ok = false;
        } else if (word == "frame") {
            long clear = 0;
            ok = reader.Number(&clear);  // every frame paints its whole background itself
            scenes->back().frames.push_back(Frame{});
        } else if (scenes->back().frames.empty()) {
            ok = false;
        } else if (word == "brush") {
            long colour = 0;
            ok = reader.Number(&colour);
            if (ok) {
                Call c{Call::Brush, BrushFor(brushes, static_cast<COLORREF>(colour)), {0, 0, 0, 0}, 0, 0};
                scenes->back().frames.back().calls.push_back(c);
            }
        } else if (word == "rect") {
            long r[4] = {};
            ok = reader.Number(&r[0]) && reader.Number(&r[1]) && reader.Number(&r[2]) && reader.Number(&r[3]);
            if (ok) {
                Call c{Call::Rect,
                       nullptr,
                       {static_cast<int>(r[0]), static_cast<int>(r[1]), static_cast<int>(r[2]), static_cast<int>(r[3])},
                       0,
                       0};
                scenes->back().frames.back().calls.push_back(c);
            }
        } else if (word == "poly") {
            long n = 0;
            ok = reader.Number(&n) && n >= 0 && n <= kMaxPoints;
            Frame& f = scenes->back().frames.back();
            const std::size_t first = f.points.size();
            for (long i = 0; ok && i < n; ++i) {
                POINT p{};
                ok = reader.Number(&p.x) && reader.Number(&p.y);
                f.points.push_back(p);
            }
            if (ok) {
                f.calls.push_back(Call{Call::Poly, nullptr, {0, 0, 0, 0}, first, static_cast<int>(n)});
            }
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "gdi_bench: bad line %d\n", lineNumber);
            return 3;
        }
        line.clear();
    }
    return 0;
}

void Draw(HDC dc, HGDIOBJ stockBrush, const Frame& frame) {
    SelectObject(dc, stockBrush);
    for (const Call& c : frame.calls) {
        switch (c.kind) {
            case Call::Brush:
                SelectObject(dc, c.brush);
                break;
            case Call::Rect:
                Rectangle(dc, c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
                break;
            case Call::Poly:
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

// The medians of `repeat` timings, against a machine shared with other work.
template <typename DrawFn>
Timing TimeDraws(DrawFn draw, long minMs, long repeat) {
    std::vector<double> cpu;
    std::vector<double> wall;
    long count = 0;
    for (long r = 0; r < repeat; ++r) {
        const Timing t = TimeOnce(draw, minMs);
        cpu.push_back(t.cpuNs);
        wall.push_back(t.wallNs);
        count += t.count;
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return Timing{cpu[cpu.size() / 2], wall[wall.size() / 2], count};
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
    std::FILE* in = std::fopen(path, "r");
    if (in == nullptr) {
        std::fprintf(stderr, "gdi_bench: cannot open %s\n", path);
        return 2;
    }
    std::vector<Scene> scenes;
    std::map<COLORREF, HBRUSH> brushes;
    const int status = ReadScenes(in, &scenes, &brushes);
    std::fclose(in);
    if (status != 0) {
        return status;
    }
    for (const Scene& scene : scenes) {
        if (scene.frames.empty()) {
            std::fprintf(stderr, "gdi_bench: scene %s has no frames\n", scene.name.c_str());
            return 3;
        }
    }
    if (scenes.empty()) {
        std::fprintf(stderr, "gdi_bench: no frames in %s\n", path);
        return 2;
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
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

    std::printf("# name cpu-ns/frame wall-ns/frame frames\n");
    for (const Scene& scene : scenes) {
        std::size_t next = 0;
        const Timing t = TimeDraws(
            [&] {
                Draw(dc, stockBrush, scene.frames[next]);
                next = next + 1 == scene.frames.size() ? 0 : next + 1;
            },
            minMs, repeat);
        std::printf("%s %.0f %.0f %ld\n", scene.name.c_str(), t.cpuNs, t.wallNs, t.count);
    }
    HBRUSH fill = CreateSolidBrush(RGB(0, 0, 128));
    SelectObject(dc, fill);
    const Timing t = TimeDraws([&] { PatBlt(dc, 0, 0, kWidth, kHeight, PATCOPY); }, minMs, repeat);
    std::printf("gdi-fill %.0f %.0f %ld\n", t.cpuNs, t.wallNs, t.count);
    std::fflush(stdout);
    return 0;
}
