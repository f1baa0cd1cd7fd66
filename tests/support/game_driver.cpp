#include "tests/support/game_driver.h"

#include <cstring>

#include "model/puzzle.h"
#include "render/frame.h"
#include "render/projection.h"
#include "shell/commands.h"

namespace {

bool ModelMoved(const Piece (&before)[8], const Piece (&after)[8]) {
    for (int slot = 0; slot < 8; ++slot) {
        const Piece& a = before[slot];
        const Piece& b = after[slot];
        if (std::memcmp(a.x, b.x, sizeof a.x) != 0 || std::memcmp(a.y, b.y, sizeof a.y) != 0 ||
            std::memcmp(a.z, b.z, sizeof a.z) != 0 ||
            std::memcmp(a.faceColour, b.faceColour, sizeof a.faceColour) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

void GameDriver::Start(std::uint32_t seed, int paintEvery, bool paintFirst) {
    m_host.Reset();
    m_game = PuzzleGame(seed, &m_host);
    RecordStartPieces(m_game, &m_catalogue);
    m_stats = DriverStats{};
    m_paintEvery = paintEvery;
    m_paintedAt = m_host.invalidations;
    if (paintFirst) {
        Paint();
    } else {
        BuildDrawOrder(m_game, m_game.m_drawOrder);
    }
}

void GameDriver::Paint() {
    ComposeFrame(m_game, m_canvas);
    m_paintedAt = m_host.invalidations;
    ++m_stats.paints;
}

std::string GameDriver::Apply(const GameEvent& event) {
    PuzzleGame& game = m_game;
    ++m_stats.events;
    ShellAction action = ShellAction::None;
    bool layerRelease = false;
    switch (event.kind) {
        case EventKind::Press:
            game.StylusDown(event.x, event.y);
            break;
        case EventKind::Move:
            if (game.StylusMove(event.x, event.y)) {
                action = ShellAction::PaintNow;
                if (game.m_dragMode != DragMode::Layer) {
                    ++m_stats.cubeSteps;
                }
            }
            break;
        case EventKind::Release: {
            layerRelease = game.m_dragMode == DragMode::Layer;
            std::memcpy(m_beforeRelease, game.m_pieces, sizeof game.m_pieces);
            game.StylusUp();
            if (layerRelease) {
                ++m_stats.layerReleases;
                m_stats.quarterTurns += ModelMoved(m_beforeRelease, game.m_pieces) ? 1 : 0;
                m_stats.solvedReleases += game.m_solved != 0 ? 1 : 0;
            }
            break;
        }
        case EventKind::Command:
            if (event.command == IDM_SHUFFLE || event.command == IDM_CHANGE_SKIN) {
                ++m_stats.shuffles;
            }
            action = RunCommand(game, event.command);
            break;
        case EventKind::Button:
            if ((event.button == HostButton::Shuffle || event.button == HostButton::NewSkin) && game.m_solved != 0) {
                ++m_stats.shuffles;
            }
            action = PressButton(game, event.button);
            break;
        case EventKind::Paint:
            Paint();
            break;
    }
    // A shell paints whenever the frame changed; painting every paintEvery-th time keeps long
    // runs quick while every kind of frame still gets drawn.
    const bool pending = m_host.invalidations != m_paintedAt || action == ShellAction::PaintNow;
    if (pending && m_paintEvery > 0 && m_stats.events % m_paintEvery == 0) {
        Paint();
    }
    // Hit tests walk the order the last paint left; keep it as fresh as a paint would.
    BuildDrawOrder(game, game.m_drawOrder);

    std::string problem = CheckPuzzle(m_catalogue, game);
    if (problem.empty() && layerRelease) {
        problem = CheckAfterLayerRelease(game, m_host.visible[static_cast<int>(HostButton::Shuffle)],
                                         m_host.visible[static_cast<int>(HostButton::NewSkin)]);
    }
    return problem;
}
