// The bytes of a PNG file, for platform/png_file.cpp: through libpng (png_codec_libpng.cpp), or
// where there is no libpng (the web build) through the stored-block writer (png_codec_stored.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes the whole file into an open stream; false with the reason.
bool EncodePng(std::FILE* file, const std::uint8_t* rgb, int width, int height, std::string* why);
// 8-bit RGB whatever the stored format; false with the reason.
bool DecodePng(std::FILE* file, std::vector<std::uint8_t>* rgb, int* width, int* height, std::string* why);
