#include "tests/support/scenes.h"

#include <cstring>

#include "interaction/shuffle.h"
#include "interaction/turn_choice.h"
#include "render/frame.h"
#include "render/projection.h"

const FrameScene kFrameScenes[kFrameSceneCount] = {
    {"start_skin2", Skin::Stickers, true, false, -1, 0},
    {"start_skin1", Skin::Plain, true, false, -1, 0},
    {"start_skin2_unsolved", Skin::Stickers, false, false, -1, 0},
    {"start_skin1_unsolved", Skin::Plain, false, false, -1, 0},
    {"shuffled_skin2", Skin::Stickers, false, true, -1, 0},
    {"shuffled_skin1", Skin::Plain, false, true, -1, 0},
    // The +Z layer is in front at the start view, the -Z layer behind: the rear group is painted first.
    {"turn_front_30", Skin::Stickers, true, false, 0, 30},
    {"turn_front_60", Skin::Stickers, true, false, 0, 60},
    {"turn_back_30", Skin::Plain, true, false, 1, 30},
    {"turn_back_60", Skin::Plain, true, false, 1, 60},
};

const FrameScene& SceneNamed(const char* name) {
    for (const FrameScene& scene : kFrameScenes) {
        if (std::strcmp(scene.name, name) == 0) {
            return scene;
        }
    }
    return kFrameScenes[0];
}

PuzzleGame SetUpScene(const FrameScene& scene) {
    PuzzleGame game(kSceneSeed, nullptr);
    if (scene.shuffled) {
        ShuffleCube(game);
    }
    game.m_skin = scene.skin;
    game.m_solved = scene.solved ? 1 : 0;
    if (scene.turnFace >= 0) {
        SelectTurnFace(game, scene.turnFace);
        game.m_turnAngleZ = scene.turnAngle;  // faces 0 and 1 turn about Z
        ShowTurn(game);
    }
    BuildDrawOrder(game, game.m_drawOrder);
    return game;
}

CallFrame RecordScene(const FrameScene& scene) {
    PuzzleGame game = SetUpScene(scene);
    CallFrame frame;
    frame.clear = 0xFF00FF;
    RecordingCanvas recorder(&frame);
    ComposeFrame(game, recorder);
    return frame;
}

const std::uint8_t* PaintFresh(const CallFrame& frame, SoftCanvas* canvas) {
    canvas->Clear(frame.clear);
    canvas->SelectBrush(kStockWhite);
    frame.PlayInto(*canvas);
    return canvas->Rgb();
}
