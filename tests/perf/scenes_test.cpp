// The measured steps must do the work they are named for, or the figures mean nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "shell/commands.h"
#include "tests/perf/call_list.h"
#include "tests/perf/perf_scenes.h"

namespace {

class SceneTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetHost(nullptr);
        ResetStylusRouting();
    }
    QuietHost m_host;
};

float TurnAngle() {
    return g_turnAngleX + g_turnAngleY + g_turnAngleZ;  // only the turning axis is non-zero
}

TEST_F(SceneTest, EveryLayerStepTurnsTheLayerAndRepaints) {
    for (const FrameScene& scene : kFrameScenes) {
        SCOPED_TRACE(scene.name);
        SetUpFrameScene(scene);
        SetHost(&m_host);
        LayerDrag drag;
        ASSERT_TRUE(drag.Begin());
        for (int i = 0; i < 8 * kSwing; ++i) {
            const float before = TurnAngle();
            const long invalidations = m_host.invalidations;
            drag.Step();
            EXPECT_NE(TurnAngle(), before) << "step " << i;
            EXPECT_GT(m_host.invalidations, invalidations) << "step " << i;
            EXPECT_GE(TurnAngle(), 0.0F);
            EXPECT_LT(TurnAngle(), 360.0F);
            ASSERT_EQ(g_dragMode, DragMode::Layer);
        }
        drag.End();
    }
}

TEST_F(SceneTest, EveryCubeStepMovesTheView) {
    for (const FrameScene& scene : kFrameScenes) {
        SCOPED_TRACE(scene.name);
        SetUpFrameScene(scene);
        SetHost(&m_host);
        CubeDrag drag;
        ASSERT_TRUE(drag.Begin());
        for (int i = 0; i < 8 * kSwing; ++i) {
            const float before[3] = {g_game.m_viewAngleX, g_game.m_viewAngleY, g_game.m_viewAngleZ};
            drag.Step();
            const bool moved = g_game.m_viewAngleX != before[0] || g_game.m_viewAngleY != before[1] ||
                               g_game.m_viewAngleZ != before[2];
            // A step straight across the chosen axis may turn nothing; the swing has none.
            EXPECT_TRUE(moved) << "step " << i;
            ASSERT_EQ(g_dragMode, DragMode::WholePuzzle);
        }
        drag.End();
    }
}

TEST_F(SceneTest, RecordedCallsRepaintTheSameFrame) {
    // GDI is timed on the recorded calls: they must be the frame, pixel for pixel.
    auto direct = std::make_unique<SoftCanvas>();
    auto played = std::make_unique<SoftCanvas>();
    for (const FrameScene& scene : kFrameScenes) {
        SCOPED_TRACE(scene.name);
        SetUpFrameScene(scene);
        CallList list;
        RecordingCanvas recorder(&list);
        ComposeFrame(g_game, recorder, g_drawOrder);
        ComposeFrame(g_game, *direct, g_drawOrder);
        played->Clear(0xFF00FF);
        list.PlayInto(*played);
        EXPECT_EQ(std::memcmp(direct->Rgb(), played->Rgb(), SoftCanvas::kWidth * SoftCanvas::kHeight * 3), 0);
    }
}

TEST_F(SceneTest, CallListTextHasOneLinePerCall) {
    SetUpFrameScene(kFrameScenes[3]);
    CallList list;
    RecordingCanvas recorder(&list);
    ComposeFrame(g_game, recorder, g_drawOrder);
    ASSERT_FALSE(list.calls.empty());
    std::istringstream text(list.Format(0xFF00FF));
    std::string line;
    ASSERT_TRUE(std::getline(text, line));
    EXPECT_EQ(line, "frame 0xFF00FF");
    for (const CallList::Call& call : list.calls) {
        ASSERT_TRUE(std::getline(text, line));
        std::istringstream words(line);
        std::string op;
        words >> op;
        int numbers = 0;
        for (long v = 0; words >> v;) {
            ++numbers;
        }
        switch (call.kind) {
            case CallList::Kind::Brush:
                EXPECT_EQ(op, "brush");  // the colour is hexadecimal, read as text below
                EXPECT_EQ(line.substr(0, 8), "brush 0x");
                break;
            case CallList::Kind::Rect:
                EXPECT_EQ(op, "rect");
                EXPECT_EQ(numbers, 4);
                break;
            case CallList::Kind::Poly:
                EXPECT_EQ(op, "poly");
                EXPECT_EQ(numbers, 1 + 2 * call.count);
                break;
        }
    }
    EXPECT_FALSE(std::getline(text, line));
}

}  // namespace
