// SoftCanvas against the real GDI (Wine's DIB engine): the same call lists drawn by both,
// compared pixel by pixel. The frames of the game come first, then thousands of random
// shapes in classes that each stress one rule.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "platform/soft_canvas.h"
#include "tests/support/call_list.h"
#include "tests/support/pixel_runs.h"
#include "tests/support/scenes.h"

#ifndef VEXAL_GDI_REFERENCE
#error "VEXAL_GDI_REFERENCE must name the reference drawer's .exe"
#endif

namespace {

constexpr int kW = SoftCanvas::kWidth;
constexpr int kH = SoftCanvas::kHeight;
constexpr Colour kClear = 0x808080;

// A fixed generator, so every run draws the same shapes.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_state(seed) {}
    int Below(int n) {
        m_state = m_state * 1664525U + 1013904223U;
        return static_cast<int>((m_state >> 8U) % static_cast<std::uint32_t>(n));
    }
    int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }
    Point In(int x0, int y0, int x1, int y1) { return Point{Range(x0, x1), Range(y0, y1)}; }
    // Never black (the pen) and never the cleared background.
    Colour BrushColour() {
        const Colour c = static_cast<Colour>(Range(1, 0xFFFFFE));
        return c == kClear ? 0x00FF00U : c;
    }

private:
    std::uint32_t m_state;
};

// One shape in a fresh brush on the grey background.
CallFrame ShapeFrame(Rng& rng, const std::vector<Point>& points) {
    CallFrame frame;
    frame.clear = kClear;
    RecordingCanvas canvas(&frame);
    canvas.SelectBrush(rng.BrushColour());
    canvas.Polygon(points.data(), static_cast<int>(points.size()));
    return frame;
}

CallFrame RectFrame(Rng& rng, int l, int t, int r, int b) {
    CallFrame frame;
    frame.clear = kClear;
    RecordingCanvas canvas(&frame);
    canvas.SelectBrush(rng.BrushColour());
    canvas.Rectangle(l, t, r, b);
    return frame;
}

std::vector<Point> RandomPoints(Rng& rng, int count, int x0, int y0, int x1, int y1) {
    std::vector<Point> pts;
    for (int i = 0; i < count; ++i) {
        pts.push_back(rng.In(x0, y0, x1, y1));
    }
    return pts;
}

// Each class of shapes is a scene of its own, so that the results are counted by class.
std::vector<CallFrame>& ClassFrames(std::vector<CallScene>* scenes, const char* name) {
    if (scenes->empty() || scenes->back().name != name) {
        scenes->push_back(CallScene{name, {}});
    }
    return scenes->back().frames;
}

void AddRandomShapes(std::vector<CallScene>* scenes) {
    Rng rng(20240607);
    auto add = [scenes, &rng](const char* group, const std::vector<Point>& pts) {
        ClassFrames(scenes, group).push_back(ShapeFrame(rng, pts));
    };
    for (int i = 0; i < 300; ++i) {
        add("inside", RandomPoints(rng, rng.Range(3, 5), 0, 0, kW - 1, kH - 1));
    }
    for (int i = 0; i < 300; ++i) {  // tiny shapes: every tie of the walks and spans
        const Point o = rng.In(0, 0, kW - 12, kH - 12);
        add("small", RandomPoints(rng, rng.Range(3, 5), o.x, o.y, o.x + rng.Range(1, 11), o.y + rng.Range(1, 11)));
    }
    for (int i = 0; i < 250; ++i) {  // long thin triangles and quads
        const Point a = rng.In(-20, -20, kW + 20, kH + 20);
        const Point b = rng.In(-20, -20, kW + 20, kH + 20);
        const Point c{b.x + rng.Range(-2, 2), b.y + rng.Range(-2, 2)};
        std::vector<Point> pts{a, b, c};
        if (rng.Below(2) == 0) {
            pts.push_back(Point{a.x + rng.Range(-1, 1), a.y + rng.Range(-1, 1)});
        }
        add("sliver", pts);
    }
    for (int i = 0; i < 200; ++i) {  // points repeated, next to each other or not
        std::vector<Point> distinct = RandomPoints(rng, rng.Range(1, 3), 0, 0, kW - 1, kH - 1);
        std::vector<Point> pts;
        const int count = rng.Range(3, 5);
        for (int k = 0; k < count; ++k) {
            pts.push_back(distinct[static_cast<std::size_t>(rng.Below(static_cast<int>(distinct.size())))]);
        }
        add("repeated", pts);
    }
    for (int i = 0; i < 200; ++i) {  // every point on one line, in any order
        const Point base = rng.In(0, 0, kW - 1, kH - 1);
        Point dir{rng.Range(-9, 9), rng.Range(-9, 9)};
        if (i % 5 == 0) {
            dir.y = 0;
        } else if (i % 5 == 1) {
            dir.x = 0;
        }
        std::vector<Point> pts;
        const int count = rng.Range(3, 5);
        for (int k = 0; k < count; ++k) {
            const int t = rng.Range(-30, 30);
            pts.push_back(Point{base.x + t * dir.x, base.y + t * dir.y});
        }
        add("collinear", pts);
    }
    for (int i = 0; i < 250; ++i) {  // bow-ties and stars
        const Point c = rng.In(20, 20, kW - 20, kH - 20);
        const int r = rng.Range(5, 120);
        if (i % 2 == 0) {
            const Point a = rng.In(c.x - r, c.y - r, c.x, c.y);
            const Point b = rng.In(c.x, c.y, c.x + r, c.y + r);
            const Point d = rng.In(c.x, c.y - r, c.x + r, c.y);
            const Point e = rng.In(c.x - r, c.y, c.x, c.y + r);
            add("crossing", {a, b, d, e});
        } else {
            // Five points around the centre, joined every second one.
            static const int kStar[5][2] = {{0, -100}, {95, -31}, {59, 81}, {-59, 81}, {-95, -31}};
            std::vector<Point> ring;
            for (const auto& s : kStar) {
                ring.push_back(Point{c.x + s[0] * r / 100 + rng.Range(-3, 3), c.y + s[1] * r / 100 + rng.Range(-3, 3)});
            }
            add("crossing", {ring[0], ring[2], ring[4], ring[1], ring[3]});
        }
    }
    for (int i = 0; i < 300; ++i) {
        add("partly outside", RandomPoints(rng, rng.Range(3, 5), -300, -300, kW + 300, kH + 300));
    }
    for (int i = 0; i < 250; ++i) {  // some points far away, some near
        std::vector<Point> pts;
        const int count = rng.Range(3, 5);
        for (int k = 0; k < count; ++k) {
            if (rng.Below(3) == 0) {
                pts.push_back(rng.In(-20, -20, kW + 20, kH + 20));
            } else {
                pts.push_back(rng.In(-70000, -70000, 70000, 70000));
            }
        }
        add("far outside", pts);
    }
    for (int i = 0; i < 200; ++i) {  // segments of every slope, both ways
        add("two points", RandomPoints(rng, 2, -60, -60, kW + 60, kH + 60));
    }
    for (int i = 0; i < 100; ++i) {  // the fill takes a shortcut for these in the reference
        const Point a = rng.In(-30, -30, kW + 30, kH + 30);
        const Point b{a.x + rng.Range(-40, 40), a.y + rng.Range(-40, 40)};
        std::vector<Point> pts = i % 2 == 0 ? std::vector<Point>{a, {b.x, a.y}, b, {a.x, b.y}}
                                            : std::vector<Point>{a, {a.x, b.y}, b, {b.x, a.y}};
        if (i % 3 == 0) {
            pts.push_back(a);
        }
        add("axis-aligned polygons", pts);
    }
    for (int i = 0; i < 50; ++i) {  // past the edge table
        add("many points", RandomPoints(rng, rng.Range(33, 60), -40, -40, kW + 40, kH + 40));
    }
    for (int i = 0; i < 10; ++i) {  // out to GDI's 27-bit coordinate limit (slow in the reference)
        constexpr int kLimit = (1 << 27) - 1;
        std::vector<Point> pts;
        const int count = rng.Range(2, 5);
        for (int k = 0; k < count; ++k) {
            if (rng.Below(3) == 0) {
                pts.push_back(rng.In(-20, -20, kW + 20, kH + 20));
            } else {
                const int sx = rng.Below(2) == 0 ? -1 : 1;
                const int sy = rng.Below(2) == 0 ? -1 : 1;
                pts.push_back(Point{sx * (kLimit - rng.Below(1 << 26)), sy * (kLimit - rng.Below(1 << 26))});
            }
        }
        add("extreme", pts);
    }
    for (int i = 0; i < 300; ++i) {
        int l = 0;
        int t = 0;
        int r = 0;
        int b = 0;
        if (i % 6 == 5) {
            l = rng.Range(-70000, 70000);
            t = rng.Range(-70000, 70000);
            r = rng.Range(-70000, 70000);
            b = rng.Range(-70000, 70000);
        } else {
            l = rng.Range(-20, kW + 20);
            t = rng.Range(-20, kH + 20);
            r = l + rng.Range(-4, i % 2 == 0 ? 4 : 200);  // odd sizes, reversed, empty
            b = t + rng.Range(-4, i % 3 == 0 ? 4 : 200);
        }
        ClassFrames(scenes, "rectangles").push_back(RectFrame(rng, l, t, r, b));
    }
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (const char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* data) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    data->clear();
    std::uint8_t buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        data->insert(data->end(), buffer, buffer + got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

void SaveImage(const std::string& path, const std::uint8_t* rgb) {
    std::string error;
    if (!WritePngRgb(path, rgb, kW, kH, &error)) {
        std::printf("  (%s)\n", error.c_str());
    }
}

TEST(GdiFidelity, SoftCanvasPaintsWhatGdiPaints) {
    const std::string exe = VEXAL_GDI_REFERENCE;
    if (!std::ifstream(exe)) {
        FAIL() << "the GDI reference drawer is missing: " << exe << " (build the win64 preset first)";
    }

    std::vector<CallScene> scenes;
    for (const FrameScene& scene : kFrameScenes) {
        scenes.push_back(CallScene{std::string("frame ") + scene.name, {RecordScene(scene)}});
    }
    AddRandomShapes(&scenes);
    std::size_t frameCount = 0;
    for (const CallScene& scene : scenes) {
        frameCount += scene.frames.size();
    }

    // Files stay in the test's folder for a look after a failure.
    std::string error;
    ASSERT_TRUE(WriteCallListFile("calls.txt", scenes, &error)) << error;
    std::remove("reference.bin");
    const std::string command = "wine " + Quote(exe) + " calls.txt reference.bin > wine.log 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "'" << command << "' failed (status " << status << "); see wine.log";

    std::vector<std::uint8_t> data;
    ASSERT_TRUE(ReadFile("reference.bin", &data)) << "no reference.bin";
    std::vector<std::vector<std::uint8_t>> reference;
    ASSERT_TRUE(ReadPixelRuns(data, kW, kH, frameCount, &reference, &error)) << "reference.bin: " << error;

    auto canvas = std::make_unique<SoftCanvas>();
    std::size_t f = 0;
    int reported = 0;
    std::printf("%-28s %7s %16s %16s\n", "class", "frames", "frames differing", "pixels differing");
    for (const CallScene& scene : scenes) {
        int framesDiffering = 0;
        long pixelsDiffering = 0;
        for (const CallFrame& frame : scene.frames) {
            const std::uint8_t* ours = PaintFresh(frame, canvas.get());
            const std::uint8_t* gdi = reference[f].data();
            long differing = 0;
            for (int i = 0; i < kW * kH * 3; i += 3) {
                differing += (ours[i] != gdi[i] || ours[i + 1] != gdi[i + 1] || ours[i + 2] != gdi[i + 2]) ? 1 : 0;
            }
            if (differing != 0) {
                ++framesDiffering;
                pixelsDiffering += differing;
                if (reported < 10) {
                    ++reported;
                    std::printf("frame %zu (%s): %ld pixels differ\n", f, scene.name.c_str(), differing);
                    for (const CanvasCall& call : frame.calls) {
                        std::printf("  %s\n", WriteCall(frame, call).substr(0, 200).c_str());
                    }
                    SaveImage("frame" + std::to_string(f) + ".soft.png", ours);
                    SaveImage("frame" + std::to_string(f) + ".gdi.png", gdi);
                }
            }
            ++f;
        }
        std::printf("%-28s %7zu %16d %16ld\n", scene.name.c_str(), scene.frames.size(), framesDiffering,
                    pixelsDiffering);
        EXPECT_EQ(pixelsDiffering, 0) << scene.name;
    }
}

}  // namespace
