// PNG bytes without libpng: the image data in zlib "stored" (uncompressed) blocks. Larger
// files than libpng writes, but no compression library, so it builds anywhere (the web build).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A complete PNG file of width x height RGB pixels (rows top to bottom, 3 bytes a pixel),
// 8 bits a channel, no filtering, no interlace.
std::string EncodePngStored(const std::uint8_t* rgb, int width, int height);

// The checksums the format needs, exposed for their tests.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler = 1);
