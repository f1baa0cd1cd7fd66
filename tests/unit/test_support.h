// Shared fixtures: a fresh puzzle for every test and a host that records its calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "platform/host.h"
#include "tests/support/drags.h"
#include "tests/support/puzzle_invariants.h"

class RecordingHost final : public Host {
public:
    void InvalidateFrame() override { ++invalidations; }
    void ShowButton(HostButton button, bool show) override;
    LocalTime GetLocalTime() override { return time; }

    int invalidations = 0;
    bool visible[kHostButtonCount] = {};
    std::vector<std::string> buttonCalls;  // e.g. "show Shuffle", "hide OK"
    LocalTime time{0, 0, 0};
};

const char* ButtonName(HostButton button);

// Every test starts from the same shuffles: vexal-replay's default seed.
constexpr std::uint32_t kTestSeed = 0;

// A fresh game for every test, with no window until a test gives it a host.
class PuzzleTest : public ::testing::Test {
protected:
    void SetUp() override;

    PuzzleGame m_game{kTestSeed, nullptr};
};

// Snapshot of the whole model, for before/after comparisons.
struct ModelSnapshot {
    Piece pieces[8];
    bool operator==(const ModelSnapshot& other) const;
};
ModelSnapshot TakeSnapshot(const PuzzleGame& game);
