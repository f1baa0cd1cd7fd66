#include "platform/crt_rand.h"

namespace {
std::uint32_t s_state = 1;  // the runtime's state before any srand
}

void CrtSrand(std::uint32_t seed) {
    s_state = seed;
}

int CrtRand() {
    s_state = s_state * 214013U + 2531011U;
    return static_cast<int>((s_state >> 16U) & 0x7FFFU);
}
