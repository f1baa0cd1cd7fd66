#include "tests/support/game_driver.h"

#include <cstring>

#include "model/puzzle.h"
#include "render/frame.h"
#include "render/projection.h"
#include "shell/commands.h"

namespace {

// The pieces before a release, to tell a committed quarter turn from a turn that sprang back.
Piece s_beforeRelease[8];

bool ModelMoved() {
    for (int slot = 0; slot < 8; ++slot) {
        const Piece& a = s_beforeRelease[slot];
        const Piece& b = g_pieces[slot];
        if (std::memcmp(a.x, b.x, sizeof a.x) != 0 || std::memcmp(a.y, b.y, sizeof a.y) != 0 ||
            std::memcmp(a.z, b.z, sizeof a.z) != 0 ||
            std::memcmp(a.faceColour, b.faceColour, sizeof a.faceColour) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

GameDriver::~GameDriver() {
    if (GetHost() == &m_host) {
        SetHost(nullptr);
    }
}

void GameDriver::Start(std::uint32_t seed, int paintEvery, bool paintFirst) {
    m_host.Reset();
    StartGame(seed, &m_host);
    RecordStartPieces(&m_catalogue);
    m_stats = DriverStats{};
    m_paintEvery = paintEvery;
    m_paintedAt = m_host.invalidations;
    if (paintFirst) {
        Paint();
    } else {
        BuildDrawOrder(g_game, g_drawOrder);
    }
}

void GameDriver::Paint() {
    ComposeFrame(g_game, m_canvas, g_drawOrder);
    m_paintedAt = m_host.invalidations;
    ++m_stats.paints;
}

std::string GameDriver::Apply(const GameEvent& event) {
    ++m_stats.events;
    ShellAction action = ShellAction::None;
    bool layerRelease = false;
    switch (event.kind) {
        case EventKind::Press:
            action = StylusPressed(g_game, event.x, event.y);
            break;
        case EventKind::Move:
            action = StylusMoved(g_game, event.x, event.y);
            if (action == ShellAction::PaintNow && g_dragMode != DragMode::Layer) {
                ++m_stats.cubeSteps;
            }
            break;
        case EventKind::Release: {
            layerRelease = g_dragMode == DragMode::Layer;
            std::memcpy(s_beforeRelease, g_pieces, sizeof g_pieces);
            action = StylusReleased(g_game);
            if (layerRelease) {
                ++m_stats.layerReleases;
                m_stats.quarterTurns += ModelMoved() ? 1 : 0;
                m_stats.solvedReleases += g_solved != 0 ? 1 : 0;
            }
            break;
        }
        case EventKind::Command:
            if (event.command == IDM_SHUFFLE || event.command == IDM_CHANGE_SKIN) {
                ++m_stats.shuffles;
            }
            action = RunCommand(g_game, event.command);
            break;
        case EventKind::Button:
            if ((event.button == HostButton::Shuffle || event.button == HostButton::NewSkin) && g_solved != 0) {
                ++m_stats.shuffles;
            }
            action = PressButton(g_game, event.button);
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
    BuildDrawOrder(g_game, g_drawOrder);

    std::string problem = CheckPuzzle(m_catalogue, g_game);
    if (problem.empty() && layerRelease) {
        problem = CheckAfterLayerRelease(g_game, m_host.visible[static_cast<int>(HostButton::Shuffle)],
                                         m_host.visible[static_cast<int>(HostButton::NewSkin)]);
    }
    return problem;
}
