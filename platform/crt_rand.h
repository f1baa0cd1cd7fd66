// The Microsoft C runtime's generator, so a seed shuffles alike on every platform. A value:
// each game holds its own.
#pragma once

#include <cstdint>

constexpr int kCrtRandMax = 0x7FFF;

class CrtRandom {
public:
    // srand. The state is the seed, so Seed(State()) puts a generator back where it was.
    void Seed(std::uint32_t seed) { m_state = seed; }
    // rand: 0..kCrtRandMax
    int Next() {
        m_state = m_state * 214013U + 2531011U;
        return static_cast<int>((m_state >> 16U) & 0x7FFFU);
    }
    // The whole state, which a saved or shared game carries to go on exactly where it was.
    [[nodiscard]] std::uint32_t State() const { return m_state; }

private:
    std::uint32_t m_state = 1;  // the runtime's state before any srand
};
