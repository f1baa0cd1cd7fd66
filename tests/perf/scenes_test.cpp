// The measured steps must do the work they are named for, or the figures mean nothing.
#include "tests/support/scenes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "tests/support/call_list.h"
#include "tests/support/drags.h"

namespace {

class SceneSteps : public ::testing::Test {
protected:
    QuietHost m_host;
};

float TurnAngle(const PuzzleGame& game) {
    return game.m_turnAngleX + game.m_turnAngleY + game.m_turnAngleZ;  // only the turning axis is non-zero
}

TEST_F(SceneSteps, EveryLayerStepTurnsTheLayerAndRepaints) {
    for (const FrameScene& scene : kFrameScenes) {
        SCOPED_TRACE(scene.name);
        PuzzleGame game = SetUpScene(scene);
        game.m_host = &m_host;
        LayerDrag drag(game);
        ASSERT_TRUE(drag.Begin());
        for (int i = 0; i < 8 * kSwing; ++i) {
            const float before = TurnAngle(game);
            const long invalidations = m_host.invalidations;
            drag.Step();
            EXPECT_NE(TurnAngle(game), before) << "step " << i;
            EXPECT_GT(m_host.invalidations, invalidations) << "step " << i;
            EXPECT_GE(TurnAngle(game), 0.0F);
            EXPECT_LT(TurnAngle(game), 360.0F);
            ASSERT_EQ(game.m_dragMode, DragMode::Layer);
        }
        drag.End();
    }
}

TEST_F(SceneSteps, EveryCubeStepMovesTheView) {
    for (const FrameScene& scene : kFrameScenes) {
        SCOPED_TRACE(scene.name);
        PuzzleGame game = SetUpScene(scene);
        game.m_host = &m_host;
        CubeDrag drag(game);
        ASSERT_TRUE(drag.Begin());
        for (int i = 0; i < 8 * kSwing; ++i) {
            const float before[3] = {game.m_viewAngleX, game.m_viewAngleY, game.m_viewAngleZ};
            drag.Step();
            const bool moved =
                game.m_viewAngleX != before[0] || game.m_viewAngleY != before[1] || game.m_viewAngleZ != before[2];
            // A step straight across the chosen axis may turn nothing; the swing has none.
            EXPECT_TRUE(moved) << "step " << i;
            ASSERT_EQ(game.m_dragMode, DragMode::WholePuzzle);
        }
        drag.End();
    }
}

TEST_F(SceneSteps, RecordedCallsReadBackAndRepaintTheSameFrame) {
    // GDI draws the calls as written and read back: they must be the frame, pixel for pixel.
    auto direct = std::make_unique<SoftCanvas>();
    auto played = std::make_unique<SoftCanvas>();
    std::vector<CallScene> written;
    for (const FrameScene& scene : kFrameScenes) {
        written.push_back(CallScene{scene.name, {RecordScene(scene)}});
    }
    std::vector<CallScene> read;
    std::string error;
    ASSERT_TRUE(ReadCallList(WriteCallList(written), &read, &error)) << error;
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(read[i].name);
        PuzzleGame game = SetUpScene(kFrameScenes[i]);
        direct->Clear(0xFF00FF);
        ComposeFrame(game, *direct);
        ASSERT_EQ(read[i].frames.size(), 1U);
        const CallFrame& frame = read[i].frames[0];
        EXPECT_EQ(frame.calls.size(), written[i].frames[0].calls.size());
        EXPECT_EQ(
            std::memcmp(direct->Rgb(), PaintFresh(frame, played.get()), SoftCanvas::kWidth * SoftCanvas::kHeight * 3),
            0);
    }
}

}  // namespace
