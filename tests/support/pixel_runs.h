// The GDI reference drawer's output, one writer and one reader: each frame's pixels row by
// row, top to bottom, as runs of (uint16 little-endian count, red, green, blue) that add up to
// the width of a row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Appends one frame of width x height pixels, top row first, each 0x00RRGGBB as a 32-bit DIB
// section holds them.
void WritePixelRuns(const std::uint32_t* pixels, int width, int height, std::vector<std::uint8_t>* out);
// Exactly frameCount frames, each width x height x 3 bytes (red, green, blue); on a refusal
// *error says which frame and row went wrong.
bool ReadPixelRuns(const std::vector<std::uint8_t>& data, int width, int height, std::size_t frameCount,
                   std::vector<std::vector<std::uint8_t>>* frames, std::string* error);
