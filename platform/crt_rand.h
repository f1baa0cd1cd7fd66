// The Microsoft C runtime's generator, so a seed shuffles alike on every platform.
#pragma once

#include <cstdint>

constexpr int kCrtRandMax = 0x7FFF;

void CrtSrand(std::uint32_t seed);
int CrtRand();
