#include "shell/replay/printable.h"

#include <cstdint>

namespace {

// Length of the well-formed UTF-8 sequence at text[at], and its code point; 0 when ill-formed.
std::size_t Utf8Sequence(const std::string& text, std::size_t at, std::uint32_t* code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    std::uint32_t value = lead & (0x7FU >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80U) {
            return 0;
        }
        value = (value << 6U) | (next & 0x3FU);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *code = value;
    return length;
}

// Code points a terminal acts on, that reorder the text around them, or that show nothing
// (a byte order mark in a message is an invisible difference).
bool Hidden(std::uint32_t code) {
    return code < 0xA0 || (code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2060 && code <= 0x206F) || code == 0xFEFF;
}

}  // namespace

std::string Printable(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += text[at++];
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t length = byte >= 0x80 ? Utf8Sequence(text, at, &code) : 0;
        if (length > 0 && !Hidden(code)) {
            out.append(text, at, length);
            at += length;
            continue;
        }
        // The whole sequence of a hidden character, or the one stray byte.
        for (const std::size_t end = at + (length > 0 ? length : 1); at < end; ++at) {
            const auto b = static_cast<unsigned char>(text[at]);
            out += "\\x";
            out += kHex[b >> 4U];
            out += kHex[b & 0xFU];
        }
    }
    return out;
}
