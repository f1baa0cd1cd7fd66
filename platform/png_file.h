// PNG files of RGB frames, through libpng; kept out of the core library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes to a temporary file and renames it, so a failure leaves no partial file.
bool WritePngRgb(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string* error);
bool ReadPngRgb(const std::string& path, std::vector<std::uint8_t>* rgb, int* width, int* height, std::string* error);
