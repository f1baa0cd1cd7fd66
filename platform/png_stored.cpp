#include "platform/png_stored.h"

#include <array>
#include <cstddef>

namespace {

// The table of the reflected polynomial 0xEDB88320, built once at compile time.
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
        }
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// A stored block holds at most 65535 bytes.
constexpr std::size_t kMaxStoredBlock = 65535;

void PutBig32(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24U);
    out += static_cast<char>(v >> 16U);
    out += static_cast<char>(v >> 8U);
    out += static_cast<char>(v);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(type, 4);
    out += data;
    const auto* typed = reinterpret_cast<const std::uint8_t*>(out.data() + start);
    PutBig32(out, Crc32(typed, out.size() - start));
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    std::uint32_t c = crc ^ 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) {
        c = kCrcTable[(c ^ data[i]) & 0xFFU] ^ (c >> 8U);
    }
    return c ^ 0xFFFFFFFFU;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler) {
    constexpr std::uint32_t kBase = 65521;
    std::uint32_t a = adler & 0xFFFFU;
    std::uint32_t b = adler >> 16U;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % kBase;
        b = (b + a) % kBase;
    }
    return (b << 16U) | a;
}

std::string EncodePngStored(const std::uint8_t* rgb, int width, int height) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3U;
    // Every row starts with filter type 0 (none).
    std::string raw;
    raw.reserve((stride + 1U) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(rgb) + stride * static_cast<std::size_t>(y), stride);
    }

    std::string zlib;
    zlib += '\x78';  // deflate, 32 KiB window
    zlib += '\x01';  // no preset dictionary, fastest; 0x7801 is a multiple of 31
    std::size_t at = 0;
    do {
        const std::size_t n = raw.size() - at < kMaxStoredBlock ? raw.size() - at : kMaxStoredBlock;
        const bool last = at + n == raw.size();
        zlib += static_cast<char>(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        zlib += static_cast<char>(n & 0xFFU);
        zlib += static_cast<char>(n >> 8U);
        zlib += static_cast<char>(~n & 0xFFU);
        zlib += static_cast<char>((~n >> 8U) & 0xFFU);
        zlib.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    PutBig32(zlib, Adler32(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()));

    std::string header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header += '\x08';                // bits a channel
    header += '\x02';                // truecolour
    header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", std::string());
    return png;
}
