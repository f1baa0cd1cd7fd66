// PNG files of RGB frames, through libpng; kept out of the core library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What may stand at the path a PNG is written to.
enum class PngTarget : std::uint8_t {
    Any,      // a regular file, a FIFO, a character device, or a link to one of them
    NewFile,  // nothing: the file is created, and nothing is ever replaced
};

// A regular file (or one a link points at) is written to a temporary file beside it and
// renamed over it, so a failure leaves no partial file and the old one whole. A FIFO or a
// character device is written directly. A folder, a socket, a block device or a link to
// nothing is refused, and so is anything at all for PngTarget::NewFile.
bool WritePngRgb(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string* error,
                 PngTarget target = PngTarget::Any);
bool ReadPngRgb(const std::string& path, std::vector<std::uint8_t>* rgb, int* width, int* height, std::string* error);
