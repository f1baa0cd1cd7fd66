// Plays a script against the game with no window: the third shell.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/puzzle.h"
#include "platform/host.h"
#include "platform/soft_canvas.h"
#include "shell/replay/script.h"

// Remembers what a window would show: the buttons, and whether a paint is due.
class ReplayHost final : public Host {
public:
    void InvalidateFrame() override { ++invalidations; }
    void ShowButton(HostButton button, bool show) override { visible[static_cast<int>(button)] = show; }
    LocalTime GetLocalTime() override { return LocalTime{0, 0, 0}; }
    void Reset() {
        for (bool& v : visible) {
            v = false;
        }
        invalidations = 0;
    }

    bool visible[kHostButtonCount] = {};
    int invalidations = 0;
};

// Called with every painted frame, numbered from 0; returns false to stop the replay.
using FrameSink = std::function<bool(int index, const SoftCanvas& frame)>;

// One game played from a script. Replays share nothing: several can play side by side.
class Replay {
public:
    Replay() = default;
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;
    Replay(Replay&&) = delete;
    Replay& operator=(Replay&&) = delete;
    ~Replay() = default;

    // Starts the game afresh (seeded with script.seed), paints, then plays every event,
    // painting after each. False when the sink asked to stop.
    bool Run(const Script& script, const FrameSink& sink);
    // The same a step at a time, for a script played as it is read: Begin, then Play for
    // each event. False when the sink asked to stop.
    bool Begin(std::uint32_t seed, const FrameSink& sink);
    // Begin with the game a link describes instead of a new one. False with *error for a bad
    // link (nothing painted), or when the sink asked to stop.
    bool BeginWithLink(const std::string& link, const FrameSink& sink, std::string* error);
    bool Play(const ScriptEvent& event, const FrameSink& sink);
    [[nodiscard]] const SoftCanvas& Frame() const { return m_canvas; }
    [[nodiscard]] const ReplayHost& HostState() const { return m_host; }
    [[nodiscard]] const PuzzleGame& Game() const { return m_game; }
    [[nodiscard]] int FramesPainted() const { return m_frames; }

    // The whole state as one JSON object.
    [[nodiscard]] std::string StateJson() const;
    // An optimal solution from the position now, one move a line in the link's notation; ""
    // for a solved puzzle.
    [[nodiscard]] std::string SolutionText() const;

private:
    bool Paint(const FrameSink& sink);

    ReplayHost m_host;
    PuzzleGame m_game{0, &m_host};
    SoftCanvas m_canvas;
    int m_frames = 0;
};
