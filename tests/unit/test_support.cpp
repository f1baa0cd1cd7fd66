#include "test_support.h"

#include <cstring>

#include "render/projection.h"

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
    BuildDrawOrder(m_game, m_game.m_drawOrder);  // as the first paint leaves it for the hit tests
}

bool ModelSnapshot::operator==(const ModelSnapshot& other) const {
    return std::memcmp(pieces, other.pieces, sizeof pieces) == 0;
}

ModelSnapshot TakeSnapshot(const PuzzleGame& game) {
    ModelSnapshot s{};
    std::memcpy(s.pieces, game.m_pieces, sizeof s.pieces);
    return s;
}
