#include "test_support.h"

#include <cstring>

#include "render/projection.h"
#include "shell/commands.h"

const char* ButtonName(HostButton button) {
    switch (button) {
        case HostButton::Shuffle:
            return "Shuffle";
        case HostButton::NewSkin:
            return "New Skin";
        case HostButton::SizeDown:
            return "-";
        case HostButton::SizeUp:
            return "+";
        case HostButton::SizeOk:
            return "OK";
    }
    return "?";
}

void RecordingHost::ShowButton(HostButton button, bool show) {
    visible[static_cast<int>(button)] = show;
    buttonCalls.push_back(std::string(show ? "show " : "hide ") + ButtonName(button));
}

void PuzzleTest::SetUp() {
    StartGame(kTestSeed, nullptr);
    BuildDrawOrder(g_game, g_drawOrder);  // as the first paint leaves it for the hit tests
}

void PuzzleTest::TearDown() {
    SetHost(nullptr);
}

void FaceCentre(int slot, int face, int* x, int* y) {
    const Piece& p = g_pieces[slot];
    int sumX = 0;
    int sumY = 0;
    const int n = p.faceVertexCount[face];
    for (int k = 0; k < n; ++k) {
        sumX += p.sx[p.faceVertex[face][k]];
        sumY += p.sy[p.faceVertex[face][k]];
    }
    *x = sumX / n;
    *y = sumY / n;
}

bool ModelSnapshot::operator==(const ModelSnapshot& other) const {
    return std::memcmp(pieces, other.pieces, sizeof pieces) == 0;
}

ModelSnapshot TakeSnapshot() {
    ModelSnapshot s{};
    std::memcpy(s.pieces, g_pieces, sizeof s.pieces);
    return s;
}

bool IsModelCoordinate(float v) {
    for (const float c : {0.0F, 414.0F, 500.0F, 1000.0F}) {
        if (v == c || v == -c) {
            return true;
        }
    }
    return false;
}
