// libpng reports errors through longjmp; every libpng call stays inside the functions
// that own the setjmp, and only plain data crosses them.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/png_codec.h"

namespace {

struct PngErrorText {
    char text[256];
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngErrorText*>(png_get_error_ptr(png));
    if (sink != nullptr) {
        std::snprintf(sink->text, sizeof sink->text, "%s", message);
    }
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// Returns false with the error text set; the file is closed by the caller either way.
bool EncodeRgb(std::FILE* file, const std::uint8_t* rgb, int width, int height, PngErrorText* sink) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(sink->text, sizeof sink->text, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(sink->text, sizeof sink->text, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3U;
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb + stride * static_cast<std::size_t>(y));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool DecodeRgb(std::FILE* file, std::vector<std::uint8_t>* rgb, int* width, int* height, PngErrorText* sink) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, sink, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(sink->text, sizeof sink->text, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::snprintf(sink->text, sizeof sink->text, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    constexpr png_uint_32 kMaxSide = 16384;  // far beyond any frame; keeps w * h * 3 small
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) {
        std::snprintf(sink->text, sizeof sink->text, "unsupported image size %ux%u", static_cast<unsigned>(w),
                      static_cast<unsigned>(h));
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // Whatever the stored format, hand back 8-bit RGB.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(w) * 3U) {
        std::snprintf(sink->text, sizeof sink->text, "unexpected row layout");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // Row by row into the caller's vector: no object of ours lives across a longjmp.
    rgb->assign(static_cast<std::size_t>(w) * h * 3U, 0);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < h; ++y) {
            png_read_row(png, rgb->data() + static_cast<std::size_t>(y) * w * 3U, nullptr);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

}  // namespace

bool EncodePng(std::FILE* file, const std::uint8_t* rgb, int width, int height, std::string* why) {
    PngErrorText sink{};
    if (!EncodeRgb(file, rgb, width, height, &sink)) {
        *why = sink.text;
        return false;
    }
    return true;
}

bool DecodePng(std::FILE* file, std::vector<std::uint8_t>* rgb, int* width, int* height, std::string* why) {
    PngErrorText sink{};
    if (!DecodeRgb(file, rgb, width, height, &sink)) {
        *why = sink.text;
        return false;
    }
    return true;
}
