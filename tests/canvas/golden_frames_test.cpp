// Frames of the game through SoftCanvas against the reviewed images in tests/golden/.
// VEXAL_UPDATE_GOLDEN=1 rewrites the images instead of comparing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "platform/png_file.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "render/projection.h"
#include "tests/support/case_name.h"
#include "tests/support/scenes.h"

#ifndef VEXAL_GOLDEN_DIR
#error "VEXAL_GOLDEN_DIR must name tests/golden"
#endif

namespace {

constexpr int kW = SoftCanvas::kWidth;
constexpr int kH = SoftCanvas::kHeight;

bool UpdateRequested() {
    const char* value = std::getenv("VEXAL_UPDATE_GOLDEN");
    return value != nullptr && std::string(value) == "1";
}

class GoldenFrames : public testing::TestWithParam<FrameScene> {};

TEST_P(GoldenFrames, MatchTheReviewedImage) {
    const FrameScene& scene = GetParam();
    PuzzleGame game = SetUpScene(scene);
    auto canvas = std::make_unique<SoftCanvas>();
    // The frame records the order it painted in the game, where the next press reads it.
    int painted[8] = {};
    BuildDrawOrder(game, painted);
    for (int& slot : game.m_drawOrder) {
        slot = -1;
    }
    ComposeFrame(game, *canvas);
    EXPECT_EQ(std::memcmp(game.m_drawOrder, painted, sizeof painted), 0);

    const std::string path = std::string(VEXAL_GOLDEN_DIR) + "/" + scene.name + ".png";
    std::string error;
    if (UpdateRequested()) {
        ASSERT_TRUE(WritePngRgb(path, canvas->Rgb(), kW, kH, &error)) << error;
        std::printf("wrote %s\n", path.c_str());
        return;
    }
    std::vector<std::uint8_t> golden;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ReadPngRgb(path, &golden, &width, &height, &error))
        << error << "\n(regenerate with VEXAL_UPDATE_GOLDEN=1, then review the images)";
    ASSERT_EQ(width, kW);
    ASSERT_EQ(height, kH);
    int differing = 0;
    for (std::size_t i = 0; i < golden.size(); i += 3) {
        const std::uint8_t* p = canvas->Rgb() + i;
        differing += (p[0] != golden[i] || p[1] != golden[i + 1] || p[2] != golden[i + 2]) ? 1 : 0;
    }
    if (differing != 0) {
        const std::string actual = std::string(scene.name) + ".actual.png";
        WritePngRgb(actual, canvas->Rgb(), kW, kH, &error);
        ADD_FAILURE() << differing << " pixels differ from " << path << "; this build's frame is in " << actual;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, GoldenFrames, testing::ValuesIn(kFrameScenes), CaseName());

}  // namespace
