// PNG files without libpng: written in stored blocks, never read.
#include <cerrno>
#include <cstring>

#include "platform/png_codec.h"
#include "platform/png_stored.h"

bool EncodePng(std::FILE* file, const std::uint8_t* rgb, int width, int height, std::string* why) {
    const std::string bytes = EncodePngStored(rgb, width, height);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        *why = std::strerror(errno);
        return false;
    }
    return true;
}

bool DecodePng(std::FILE* /*file*/, std::vector<std::uint8_t>* /*rgb*/, int* /*width*/, int* /*height*/,
               std::string* why) {
    *why = "this build reads no PNG files (it has no libpng)";
    return false;
}
