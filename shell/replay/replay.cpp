#include "shell/replay/replay.h"

#include <cmath>
#include <cstdio>

#include "interaction/moves.h"
#include "interaction/view_turns.h"
#include "model/puzzle.h"
#include "render/frame.h"
#include "shell/commands.h"
#include "shell/link.h"
#include "solver/solver.h"

bool Replay::Paint(const FrameSink& sink) {
    ComposeFrame(m_game, m_canvas);
    const int index = m_frames++;
    return !sink || sink(index, m_canvas);
}

bool Replay::Begin(std::uint32_t seed, const FrameSink& sink) {
    m_host.Reset();
    m_game = PuzzleGame(seed, &m_host);  // the script's seed in place of the clock's
    m_frames = 0;
    return Paint(sink);
}

bool Replay::BeginWithLink(const std::string& link, const FrameSink& sink, std::string* error) {
    m_host.Reset();
    if (!OpenLink(link, &m_host, &m_game, error)) {
        return false;
    }
    m_frames = 0;
    return Paint(sink);
}

bool Replay::Play(const ScriptEvent& event, const FrameSink& sink) {
    switch (event.op) {
        case ScriptOp::Down:
            m_game.StylusDown(event.x, event.y);
            break;
        case ScriptOp::Move:
            m_game.StylusMove(event.x, event.y);
            break;
        case ScriptOp::Up:
            m_game.StylusUp();
            break;
        case ScriptOp::Command:
            RunCommand(m_game, event.command);  // About, Help and the rest need a window: nothing here
            break;
        case ScriptOp::Button:
            PressButton(m_game, event.button);
            break;
        case ScriptOp::Undo:
            Undo(m_game);
            break;
        case ScriptOp::Redo:
            Redo(m_game);
            break;
        case ScriptOp::Restart:
            Restart(m_game);
            break;
        case ScriptOp::Turn:
            PlayTurn(m_game, ViewTurn(m_game, static_cast<ViewFace>(event.side), event.quarters));
            break;
        case ScriptOp::Hint:
            if (FaceTurn turn{}; NextOptimalTurn(m_game.m_pieces, &turn)) {
                PlayTurn(m_game, turn);  // a move like any other: undoable
            }
            break;
    }
    return Paint(sink);
}

bool Replay::Run(const Script& script, const FrameSink& sink) {
    if (!Begin(script.seed, sink)) {
        return false;
    }
    for (const ScriptEvent& ev : script.events) {
        if (!Play(ev, sink)) {
            return false;
        }
    }
    return true;
}

namespace {

// Floats read back to the same float; JSON has no NaN or infinity.
void AppendFloat(std::string& out, float v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[32];
    (void)std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    out += buf;
}

void AppendInt(std::string& out, long long v) {
    out += std::to_string(v);
}

template <typename T, typename F>
void AppendArray(std::string& out, const T* values, int count, F append) {
    out += '[';
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            out += ',';
        }
        append(out, values[i]);
    }
    out += ']';
}

void Key(std::string& out, const char* name) {
    out += '"';
    out += name;
    out += "\":";
}

void AppendPiece(std::string& out, const Piece& p) {
    auto f = [](std::string& o, float v) { AppendFloat(o, v); };
    auto i = [](std::string& o, int v) { AppendInt(o, v); };
    out += '{';
    Key(out, "x");
    AppendArray(out, p.x, 12, f);
    out += ',';
    Key(out, "y");
    AppendArray(out, p.y, 12, f);
    out += ',';
    Key(out, "z");
    AppendArray(out, p.z, 12, f);
    out += ',';
    Key(out, "sx");
    AppendArray(out, p.sx, 12, i);
    out += ',';
    Key(out, "sy");
    AppendArray(out, p.sy, 12, i);
    out += ',';
    Key(out, "sz");
    AppendArray(out, p.sz, 12, i);
    out += ',';
    Key(out, "faceColour");
    AppendArray(out, p.faceColour, 7, i);
    out += ',';
    Key(out, "stickerColour");
    AppendArray(out, p.stickerColour, 3, i);
    out += '}';
}

}  // namespace

std::string Replay::SolutionText() const {
    FaceTurn turns[kMaxDistance];
    const int length = OptimalSolution(m_game.m_pieces, turns);
    std::string text;
    for (int i = 0; i < length; ++i) {
        text += MoveText(turns[i]) + "\n";
    }
    return text;
}

std::string Replay::StateJson() const {
    const PuzzleGame& g = m_game;
    auto f = [](std::string& o, float v) { AppendFloat(o, v); };
    auto i = [](std::string& o, int v) { AppendInt(o, v); };
    std::string out;
    out.reserve(16384);
    out += '{';
    Key(out, "viewAngles");
    const float view[3] = {g.m_viewAngleX, g.m_viewAngleY, g.m_viewAngleZ};
    AppendArray(out, view, 3, f);
    out += ',';
    Key(out, "scale");
    AppendFloat(out, g.m_scale);
    out += ',';
    Key(out, "skin");
    AppendInt(out, static_cast<int>(g.m_skin));
    out += ',';
    Key(out, "solved");
    out += g.m_solved != 0 ? "true" : "false";
    out += ',';
    Key(out, "dragMode");
    AppendInt(out, static_cast<int>(g.m_dragMode));
    out += ',';
    Key(out, "pressPending");
    out += g.m_pressPending != 0 ? "true" : "false";
    out += ',';
    Key(out, "turnState");
    AppendInt(out, static_cast<int>(g.m_turnState));
    out += ',';
    Key(out, "turnFace");
    AppendInt(out, g.m_turnFace);
    out += ',';
    Key(out, "turnAxis");
    AppendInt(out, static_cast<int>(g.m_turnAxis));
    out += ',';
    Key(out, "turnAngles");
    const float turn[3] = {g.m_turnAngleX, g.m_turnAngleY, g.m_turnAngleZ};
    AppendArray(out, turn, 3, f);
    out += ',';
    Key(out, "turnRefAngle");
    AppendFloat(out, g.m_turnRefAngle);
    out += ',';
    Key(out, "moves");
    AppendInt(out, MoveCount(g));
    out += ',';
    Key(out, "distance");
    AppendInt(out, DistanceFromSolved(g.m_pieces));
    out += ',';
    Key(out, "par");
    AppendInt(out, DistanceFromSolved(g.m_basePieces));
    out += ',';
    Key(out, "buttons");
    const char* names[kHostButtonCount] = {"shuffle", "newskin", "sizeDown", "sizeUp", "sizeOk"};
    out += '{';
    for (int b = 0; b < kHostButtonCount; ++b) {
        out += b > 0 ? "," : "";
        Key(out, names[b]);
        out += m_host.visible[b] ? "true" : "false";
    }
    out += "},";
    Key(out, "drawOrder");
    AppendArray(out, g.m_drawOrder, 8, i);
    out += ',';
    Key(out, "pieces");
    out += '[';
    for (int s = 0; s < 8; ++s) {
        out += s > 0 ? "," : "";
        AppendPiece(out, g.m_pieces[s]);
    }
    out += "],";
    Key(out, "box");
    out += '{';
    Key(out, "sx");
    AppendArray(out, g.m_outerBox.sx, 8, i);
    out += ',';
    Key(out, "sy");
    AppendArray(out, g.m_outerBox.sy, 8, i);
    out += ',';
    Key(out, "sz");
    AppendArray(out, g.m_outerBox.sz, 8, i);
    out += "}}";
    return out;
}
