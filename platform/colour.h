// Colours are COLORREF values (0x00BBGGRR), the way the device's GDI names a solid brush.
#pragma once

#include <cstdint>

using Colour = std::uint32_t;

constexpr std::uint8_t RedOf(Colour c) {
    return static_cast<std::uint8_t>(c & 0xFFU);
}
constexpr std::uint8_t GreenOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 8U) & 0xFFU);
}
constexpr std::uint8_t BlueOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 16U) & 0xFFU);
}
