// The call list and pixel runs that pass between the native tests and the GDI programs: what
// one side writes the other reads back unchanged, and a damaged file is refused with its line.
#include "tests/support/call_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/pixel_runs.h"

namespace {

std::vector<CallScene> SampleList() {
    std::vector<CallScene> scenes(2);
    scenes[0].name = "two words";
    scenes[0].frames.resize(2);
    scenes[0].frames[0].clear = 0xFF00FF;
    RecordingCanvas first(&scenes[0].frames[0]);
    first.SelectBrush(0x0079E6);
    first.Rectangle(INT_MIN, -1, INT_MAX, 270);
    const Point triangle[] = {{1, 2}, {-3, 4}, {5, -6}};
    first.Polygon(triangle, 3);
    first.Polygon(nullptr, 4);  // kept, as nothing drawn
    scenes[1].name = "x";
    scenes[1].frames.resize(1);
    RecordingCanvas second(&scenes[1].frames[0]);
    second.Polygon(triangle, 2);
    return scenes;
}

TEST(CallList, WrittenListReadsBackAsWritten) {
    const std::string text = WriteCallList(SampleList());
    EXPECT_EQ(text,
              "scene two words\n"
              "frame 0xFF00FF\n"
              "brush 0x0079E6\n"
              "rect -2147483648 -1 2147483647 270\n"
              "poly 3 1 2 -3 4 5 -6\n"
              "poly 0\n"
              "frame 0x000000\n"
              "scene x\n"
              "frame 0x000000\n"
              "poly 2 1 2 -3 4\n");
    std::vector<CallScene> read;
    std::string error;
    ASSERT_TRUE(ReadCallList(text, &read, &error)) << error;
    EXPECT_EQ(WriteCallList(read), text);
    // Windows line ends, blank lines and lower-case digits read the same.
    ASSERT_TRUE(ReadCallList("scene x\r\n\r\nframe 0x0\r\n  poly 2   1 2 -3 4\r\n", &read, &error)) << error;
    EXPECT_EQ(WriteCallList(read), "scene x\nframe 0x000000\npoly 2 1 2 -3 4\n");
}

TEST(CallList, DamagedListsAreRefusedWithTheirLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"frame 0x0\n", "line 1: 'frame' before the first scene"},
        {"scene a\nbrush 0x0\n", "line 2: 'brush' before the scene's first frame"},
        {"scene a\n\nscene b\nframe 0x0\n", "line 1: scene 'a' has no frames"},
        {"scene a\nframe 0x0\nscene b\n", "line 3: scene 'b' has no frames"},
        {"scene\n", "line 1: 'scene' takes a name"},
        {"scene a\nframe 808080\n", "line 2: 'frame' takes one colour 0xBBGGRR"},
        {"scene a\nframe 0x0\nbrush 0x1000000\n", "line 3: 'brush' takes one colour 0xBBGGRR"},
        {"scene a\nframe 0x0\nbrush 0xGG\n", "line 3: 'brush' takes one colour 0xBBGGRR"},
        {"scene a\nframe 0x0\nrect 1 2 3\n", "line 3: 'rect' takes four 32-bit numbers L T R B"},
        {"scene a\nframe 0x0\nrect 1 2 3 2147483648\n", "line 3: 'rect' takes four 32-bit numbers L T R B"},
        {"scene a\nframe 0x0\nrect 1 2 3 4 5\n", "line 3: 'rect' takes four 32-bit numbers L T R B"},
        {"scene a\nframe 0x0\npoly 2 1 2 3\n", "line 3: 'poly' takes a count N and N points X Y"},
        {"scene a\nframe 0x0\npoly -1\n", "line 3: 'poly' takes a count N and N points X Y"},
        {"scene a\nframe 0x0\npoly 1 1 +2\n", "line 3: 'poly' point 1 is not two 32-bit numbers"},
        {"scene a\nframe 0x0\nline 1 2\n", "line 3: unknown call 'line'"},
    };
    for (const Case& c : cases) {
        std::vector<CallScene> scenes;
        std::string error;
        EXPECT_FALSE(ReadCallList(c.text, &scenes, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << c.text << " gave: " << error;
    }
}

TEST(PixelRuns, FramesReadBackPixelForPixel) {
    constexpr int kW = 5;
    constexpr int kH = 2;
    // 0x00RRGGBB as a DIB holds them; a run of three, two singles, a whole row.
    const std::uint32_t pixels[2][kW * kH] = {
        {0x112233, 0x112233, 0x112233, 0x445566, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {0x010203, 0x040506, 0x010203, 0x040506, 0x010203, 0x000000, 0x000000, 0x000000, 0x000000, 0x0000FF},
    };
    std::vector<std::uint8_t> data;
    WritePixelRuns(pixels[0], kW, kH, &data);
    EXPECT_EQ(data.size(), 4U * 5U);  // runs in the first frame
    WritePixelRuns(pixels[1], kW, kH, &data);
    std::vector<std::vector<std::uint8_t>> frames;
    std::string error;
    ASSERT_TRUE(ReadPixelRuns(data, kW, kH, 2, &frames, &error)) << error;
    ASSERT_EQ(frames.size(), 2U);
    for (std::size_t f = 0; f < 2; ++f) {
        for (std::size_t i = 0; i < kW * kH; ++i) {
            const std::uint32_t p = pixels[f][i];
            EXPECT_EQ(frames[f][i * 3], (p >> 16U) & 0xFFU) << f << " " << i;
            EXPECT_EQ(frames[f][i * 3 + 1], (p >> 8U) & 0xFFU) << f << " " << i;
            EXPECT_EQ(frames[f][i * 3 + 2], p & 0xFFU) << f << " " << i;
        }
    }

    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        std::size_t frames;
        const char* error;
    };
    const Case cases[] = {
        {"one frame short", std::vector<std::uint8_t>(data.begin(), data.begin() + 20), 2, "the pixels end in frame 1"},
        {"a byte short", std::vector<std::uint8_t>(data.begin(), data.end() - 1), 2, "the pixels end in frame 1 row 1"},
        {"a frame too many", data, 1, "more pixels than 1 frames"},
        {"an empty run", {0, 0, 1, 2, 3}, 1, "bad run in frame 0 row 0"},
        {"a run past the row", {6, 0, 1, 2, 3}, 1, "bad run in frame 0 row 0"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ReadPixelRuns(c.data, kW, kH, c.frames, &frames, &error)) << c.name;
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << c.name << " gave: " << error;
    }
}

}  // namespace
