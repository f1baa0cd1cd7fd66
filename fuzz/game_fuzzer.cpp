// Arbitrary bytes as a stream of stylus, command and button events through shell/commands,
// with the puzzle checked after every event.
//
// Each event is an opcode byte (taken modulo 12) and its operands, little-endian:
//   0 press   x16 y16        1 move x16 y16          2 move by dx8 dy8 (signed, from the last point)
//   3 move    x32 y32 (raw, beyond 16 bits)          4 release
//   5 command i8 (index into the command table; 255: a raw 32-bit identifier follows)
//   6 button  b8             7 paint
//   8 press   in the drawing area: x8 y8             9 move in the drawing area: x8 y8
//  10 gesture: press in the area x8 y8, n8 (n % 16 moves by dx8 dy8), release
//  11 move off the top left: dx8 dy8 below 65536, so the step wraps as a captured stylus does
// A missing operand byte reads as 0.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/commands.h"
#include "tests/support/game_driver.h"

namespace {

constexpr int kCommands[] = {IDM_CLOSE, IDM_NEW,      IDM_ABOUT,   IDM_SHUFFLE,     IDM_HELP,
                             IDM_QUIT,  IDM_QUIT_YES, IDM_QUIT_NO, IDM_CHANGE_SKIN, IDM_SIZE};
constexpr int kCommandCount = sizeof kCommands / sizeof kCommands[0];

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    [[nodiscard]] bool AtEnd() const { return m_pos >= m_size; }
    int U8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int S8() { return static_cast<std::int8_t>(static_cast<std::uint8_t>(U8())); }
    int U16() {
        const int lo = U8();
        return lo | (U8() << 8);
    }
    int S32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<std::uint32_t>(U8()) << (8 * i);
        }
        return static_cast<int>(v);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

long long s_totalEvents = 0;
long long s_totalInputs = 0;
DriverStats s_totals;

// Totals for the whole run, printed when libFuzzer exits.
void PrintTotals() {
    std::fprintf(stderr,
                 "game_fuzzer: %lld inputs, %lld events (%lld layer releases, %lld committed turns, "
                 "%lld whole-cube steps, %lld shuffles, %lld frames painted)\n",
                 s_totalInputs, s_totalEvents, s_totals.layerReleases, s_totals.quarterTurns, s_totals.cubeSteps,
                 s_totals.shuffles, s_totals.paints);
}

void AddToTotals(const DriverStats& stats) {
    ++s_totalInputs;
    s_totalEvents += stats.events;
    s_totals.layerReleases += stats.layerReleases;
    s_totals.quarterTurns += stats.quarterTurns;
    s_totals.cubeSteps += stats.cubeSteps;
    s_totals.shuffles += stats.shuffles;
    s_totals.paints += stats.paints;
}

GameDriver* Driver() {
    static GameDriver* driver = new GameDriver();  // one canvas for the whole run
    return driver;
}

// The point the relative moves start from; wide enough for any number of steps.
struct Cursor {
    long long x = 120;
    long long y = 135;
};

int Narrow(long long v) {
    return static_cast<int>(v % 0x40000000LL);  // keeps far walks inside int; masking drops the top anyway
}

void Fail(const std::string& problem, long long event) {
    std::fprintf(stderr, "puzzle check failed after event %lld: %s\n", event, problem.c_str());
    std::abort();
}

void Run(const GameEvent& event) {
    GameDriver& driver = *Driver();
    const std::string problem = driver.Apply(event);
    if (!problem.empty()) {
        Fail(problem, driver.Stats().events);
    }
}

void Move(Cursor& cursor, long long x, long long y) {
    cursor.x = x;
    cursor.y = y;
    Run(GameEvent{EventKind::Move, Narrow(x), Narrow(y), 0, HostButton::Shuffle});
}

void Press(Cursor& cursor, long long x, long long y) {
    cursor.x = x;
    cursor.y = y;
    Run(GameEvent{EventKind::Press, Narrow(x), Narrow(y), 0, HostButton::Shuffle});
}

int AreaX(int b) {
    return b * 240 / 256;
}
int AreaY(int b) {
    return b * 270 / 256;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = std::atexit(PrintTotals) == 0;
    (void)registered;
    GameDriver& driver = *Driver();
    // Painting costs far more than an event: a frame every 32 events, and whenever the input asks.
    driver.Start(0, 32, false);
    Reader in(data, size);
    Cursor cursor;
    while (!in.AtEnd()) {
        switch (in.U8() % 12) {
            case 0: {
                const int x = in.U16();
                Press(cursor, x, in.U16());
                break;
            }
            case 1: {
                const int x = in.U16();
                Move(cursor, x, in.U16());
                break;
            }
            case 2: {
                const int dx = in.S8();
                Move(cursor, cursor.x + dx, cursor.y + in.S8());
                break;
            }
            case 3: {
                const int x = in.S32();
                Move(cursor, x, in.S32());
                break;
            }
            case 4:
                Run(GameEvent{EventKind::Release, 0, 0, 0, HostButton::Shuffle});
                break;
            case 5: {
                const int index = in.U8();
                const int command = index == 255 ? in.S32() : kCommands[index % kCommandCount];
                Run(GameEvent{EventKind::Command, 0, 0, command, HostButton::Shuffle});
                break;
            }
            case 6:
                Run(GameEvent{EventKind::Button, 0, 0, 0, static_cast<HostButton>(in.U8() % kHostButtonCount)});
                break;
            case 7:
                Run(GameEvent{EventKind::Paint, 0, 0, 0, HostButton::Shuffle});
                break;
            case 8: {
                const int x = AreaX(in.U8());
                Press(cursor, x, AreaY(in.U8()));
                break;
            }
            case 9: {
                const int x = AreaX(in.U8());
                Move(cursor, x, AreaY(in.U8()));
                break;
            }
            case 10: {
                const int x = AreaX(in.U8());
                Press(cursor, x, AreaY(in.U8()));
                Move(cursor, cursor.x, cursor.y);
                const int moves = in.U8() % 16;
                for (int i = 0; i < moves; ++i) {
                    const int dx = in.S8();
                    Move(cursor, cursor.x + dx, cursor.y + in.S8());
                }
                Run(GameEvent{EventKind::Release, 0, 0, 0, HostButton::Shuffle});
                break;
            }
            default: {
                const int dx = in.U8();
                Move(cursor, 65535 - dx, 65535 - in.U8());
                break;
            }
        }
    }
    AddToTotals(driver.Stats());
    return 0;
}
