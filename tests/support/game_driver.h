// Plays stylus, command and button events into the game the way a shell does, paints now and
// then, and checks the puzzle after every event. Used by the soak test and the game fuzzer.
#pragma once

#include <cstdint>
#include <string>

#include "model/puzzle.h"
#include "platform/host.h"
#include "platform/soft_canvas.h"
#include "shell/replay/replay.h"
#include "tests/support/puzzle_invariants.h"

enum class EventKind : std::uint8_t { Press, Move, Release, Command, Button, Paint };

struct GameEvent {
    EventKind kind = EventKind::Paint;
    int x = 0;  // Press, Move: raw message coordinates; the shell masks them to 16 bits
    int y = 0;
    int command = 0;
    HostButton button = HostButton::Shuffle;
};

struct DriverStats {
    long long events = 0;
    long long layerReleases = 0;   // releases in drag mode 1
    long long quarterTurns = 0;    // releases that moved pieces
    long long cubeSteps = 0;       // moves that ran in whole-cube mode (each one a fold)
    long long shuffles = 0;        // shuffles from commands and buttons
    long long solvedReleases = 0;  // layer turns that left the puzzle solved
    long long paints = 0;
};

// The replay's host keeps what a window would show: the buttons and the invalidations.
using DriverHost = ReplayHost;

class GameDriver {
public:
    GameDriver() = default;
    GameDriver(const GameDriver&) = delete;
    GameDriver& operator=(const GameDriver&) = delete;
    GameDriver(GameDriver&&) = delete;
    GameDriver& operator=(GameDriver&&) = delete;
    ~GameDriver() = default;

    // A fresh puzzle, as the program starts: reset, seeded, draw order as the first paint leaves it.
    // paintEvery: paint a changed frame at every paintEvery-th event (1: after every change,
    // as the shells do; 0: only on Paint events). paintFirst: paint the first frame too.
    void Start(std::uint32_t seed, int paintEvery, bool paintFirst = true);

    // Runs one event; "" when every check passed, else what went wrong.
    std::string Apply(const GameEvent& event);

    [[nodiscard]] const DriverStats& Stats() const { return m_stats; }
    [[nodiscard]] const SoftCanvas& Frame() const { return m_canvas; }
    [[nodiscard]] const PuzzleGame& Game() const { return m_game; }

private:
    void Paint();

    DriverHost m_host;
    PuzzleGame m_game{0, &m_host};
    Piece m_beforeRelease[8]{};  // the pieces before a release, to tell a quarter turn from a turn that sprang back
    SoftCanvas m_canvas;
    PieceCatalogue m_catalogue{};
    DriverStats m_stats;
    int m_paintEvery = 0;
    long long m_paintedAt = 0;  // invalidation count at the last paint
};
