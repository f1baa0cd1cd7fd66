// PNG files: what is written reads back unchanged, and a failed write leaves nothing.
#include "platform/png_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/png_stored.h"

namespace {

std::string TempDir() {
    char pattern[] = "/tmp/vexal-png-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir != nullptr ? dir : "/tmp";
}

TEST(PngFile, WhatIsWrittenReadsBackUnchanged) {
    const std::string dir = TempDir();
    const int w = 7;
    const int h = 5;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w * h * 3));
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<std::uint8_t>(i * 37U + 11U);
    }
    const std::string path = dir + "/image.png";
    std::string error;
    ASSERT_TRUE(WritePngRgb(path, rgb.data(), w, h, &error)) << error;
    std::vector<std::uint8_t> back;
    int bw = 0;
    int bh = 0;
    ASSERT_TRUE(ReadPngRgb(path, &back, &bw, &bh, &error)) << error;
    EXPECT_EQ(bw, w);
    EXPECT_EQ(bh, h);
    EXPECT_EQ(back, rgb);
    // Overwriting goes through a new file too.
    rgb[0] ^= 0xFFU;
    ASSERT_TRUE(WritePngRgb(path, rgb.data(), w, h, &error)) << error;
    ASSERT_TRUE(ReadPngRgb(path, &back, &bw, &bh, &error)) << error;
    EXPECT_EQ(back, rgb);
    std::remove(path.c_str());
    rmdir(dir.c_str());
}

TEST(PngFile, FailuresAreReportedAndLeaveNoFile) {
    const std::string dir = TempDir();
    const std::uint8_t pixel[3] = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(WritePngRgb(dir + "/missing/image.png", pixel, 1, 1, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WritePngRgb(dir + "/empty.png", pixel, 0, 1, &error));
    EXPECT_FALSE(std::ifstream(dir + "/empty.png").good());

    const std::string junk = dir + "/junk.png";
    std::ofstream(junk) << "not a png at all";
    // Where only a new file may go, what stands there already is kept as it was.
    EXPECT_FALSE(WritePngRgb(junk, pixel, 1, 1, &error, PngTarget::NewFile));
    EXPECT_EQ(error, "cannot write " + junk + ": it already exists");
    std::string kept;
    std::getline(std::ifstream(junk), kept);
    EXPECT_EQ(kept, "not a png at all");
    std::vector<std::uint8_t> rgb;
    int w = 0;
    int h = 0;
    error.clear();
    EXPECT_FALSE(ReadPngRgb(junk, &rgb, &w, &h, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadPngRgb(dir + "/absent.png", &rgb, &w, &h, &error));
    // Nothing but the junk file is left behind.
    std::remove(junk.c_str());
    EXPECT_EQ(rmdir(dir.c_str()), 0);
}

// The web build writes PNG files without libpng; libpng must read them back pixel for pixel,
// also when the pixels need more than one stored block (a frame does: three).
TEST(PngStored, LibpngReadsWhatTheStoredWriterWrites) {
    const std::string dir = TempDir();
    struct Size {
        int w;
        int h;
    };
    for (const Size size : {Size{1, 1}, Size{7, 5}, Size{240, 270}, Size{16384, 2}}) {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size.w) * static_cast<std::size_t>(size.h) * 3U);
        for (std::size_t i = 0; i < rgb.size(); ++i) {
            rgb[i] = static_cast<std::uint8_t>(i * 131U + i / 7U);
        }
        const std::string path = dir + "/stored.png";
        std::ofstream(path, std::ios::binary) << EncodePngStored(rgb.data(), size.w, size.h);
        std::vector<std::uint8_t> back;
        int w = 0;
        int h = 0;
        std::string error;
        ASSERT_TRUE(ReadPngRgb(path, &back, &w, &h, &error)) << size.w << "x" << size.h << ": " << error;
        EXPECT_EQ(w, size.w);
        EXPECT_EQ(h, size.h);
        EXPECT_EQ(back, rgb) << size.w << "x" << size.h;
        std::remove(path.c_str());
    }
    rmdir(dir.c_str());
}

TEST(PngStored, ChecksumsMatchTheirReferenceValues) {
    struct Case {
        const char* text;
        std::uint32_t crc;
        std::uint32_t adler;
    };
    const Case cases[] = {
        {"", 0x00000000U, 0x00000001U},
        {"123456789", 0xCBF43926U, 0x091E01DEU},
        {"Wikipedia", 0xADAAC02EU, 0x11E60398U},
    };
    for (const Case& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.text);
        const std::size_t n = std::string(c.text).size();
        EXPECT_EQ(Crc32(bytes, n), c.crc) << c.text;
        EXPECT_EQ(Adler32(bytes, n), c.adler) << c.text;
    }
    // Adler-32's sums wrap at 65521 long before a frame's 194,670 bytes end.
    const std::vector<std::uint8_t> ones(200000, 0xFF);
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t v : ones) {
        a = (a + v) % 65521U;
        b = (b + a) % 65521U;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), (b << 16U) | a);
}

}  // namespace
