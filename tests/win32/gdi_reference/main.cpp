// gdi_reference IN OUT: draws the canvas calls listed in IN with GDI into a 240 x 270,
// 32-bit top-down DIB section and appends each frame's pixels to OUT.
//
// IN, one call a line:
//   frame 0xBBGGRR          start a frame: the bitmap cleared to this colour, the stock white brush
//   brush 0xBBGGRR          select a new solid brush
//   rect L T R B            Rectangle
//   poly N X1 Y1 ... XN YN  Polygon, alternate fill mode
// OUT, per frame and row, top to bottom: runs of (uint16 little-endian count, red, green, blue)
// that add up to 240 pixels.
// Exit code 0 on success; 2 bad arguments or files, 3 bad input line, 4 GDI failure.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 270;
constexpr long kMaxPoints = 100000;

struct Dib {
    HDC dc = nullptr;
    std::uint32_t* bits = nullptr;
    HGDIOBJ stockBrush = nullptr;
    HBRUSH brush = nullptr;
};

bool CreateDib(Dib* dib) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dib->dc = CreateCompatibleDC(nullptr);
    if (bitmap == nullptr || bits == nullptr || dib->dc == nullptr) {
        return false;
    }
    SelectObject(dib->dc, bitmap);
    SetPolyFillMode(dib->dc, ALTERNATE);
    dib->bits = static_cast<std::uint32_t*>(bits);
    dib->stockBrush = GetStockObject(WHITE_BRUSH);
    return true;
}

void SelectSolidBrush(Dib* dib, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    SelectObject(dib->dc, brush);
    if (dib->brush != nullptr) {
        DeleteObject(dib->brush);
    }
    dib->brush = brush;
}

void StartFrame(Dib* dib, COLORREF clear) {
    SelectObject(dib->dc, dib->stockBrush);
    if (dib->brush != nullptr) {
        DeleteObject(dib->brush);
        dib->brush = nullptr;
    }
    GdiFlush();
    // A 32-bit pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    const std::uint32_t pixel = ((clear & 0xFFU) << 16U) | (clear & 0xFF00U) | ((clear >> 16U) & 0xFFU);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        dib->bits[i] = pixel;
    }
}

bool WriteFrame(const Dib& dib, std::FILE* out) {
    GdiFlush();
    for (int y = 0; y < kHeight; ++y) {
        const std::uint32_t* row = dib.bits + static_cast<std::size_t>(y) * kWidth;
        int x = 0;
        while (x < kWidth) {
            int run = 1;
            while (x + run < kWidth && row[x + run] == row[x]) {
                ++run;
            }
            const std::uint32_t p = row[x];
            const unsigned char record[5] = {
                static_cast<unsigned char>(run & 0xFF), static_cast<unsigned char>(run >> 8),
                static_cast<unsigned char>((p >> 16U) & 0xFFU), static_cast<unsigned char>((p >> 8U) & 0xFFU),
                static_cast<unsigned char>(p & 0xFFU)};
            if (std::fwrite(record, 1, sizeof record, out) != sizeof record) {
                return false;
            }
            x += run;
        }
    }
    return true;
}

// Reads whitespace-separated integers; base prefixes (0x) are accepted.
class Tokens {
public:
    explicit Tokens(const std::string& line) : m_text(line), m_pos(m_text.c_str()) {}

    bool Word(std::string* word) {
        while (*m_pos == ' ' || *m_pos == '\t') {
            ++m_pos;
        }
        const char* start = m_pos;
        while (*m_pos != '\0' && *m_pos != ' ' && *m_pos != '\t' && *m_pos != '\r' && *m_pos != '\n') {
            ++m_pos;
        }
        word->assign(start, m_pos);
        return !word->empty();
    }

    bool Number(long* value) {
        std::string word;
        if (!Word(&word)) {
            return false;
        }
        char* end = nullptr;
        const long long v = std::strtoll(word.c_str(), &end, 0);
        if (end == nullptr || *end != '\0' || v < -2147483647LL - 1 || v > 0xFFFFFFFFLL) {
            return false;
        }
        *value = static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
        return true;
    }

private:
    std::string m_text;
    const char* m_pos;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gdi_reference IN OUT\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "r");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (in == nullptr || out == nullptr) {
        std::fprintf(stderr, "gdi_reference: cannot open %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    Dib dib;
    if (!CreateDib(&dib)) {
        std::fprintf(stderr, "gdi_reference: cannot create the DIB section\n");
        return 4;
    }
    bool inFrame = false;
    int lineNumber = 0;
    int frames = 0;
    std::vector<POINT> points;
    std::string line;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
        line += buffer;
        if (line.empty() || (line.back() != '\n' && !std::feof(in))) {
            continue;  // a line longer than the buffer
        }
        ++lineNumber;
        Tokens tokens(line);
        line.clear();
        std::string command;
        if (!tokens.Word(&command)) {
            continue;
        }
        bool ok = true;
        if (command == "frame") {
            long clear = 0;
            ok = tokens.Number(&clear);
            if (ok && inFrame && !WriteFrame(dib, out)) {
                std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[2]);
                return 2;
            }
            if (ok) {
                StartFrame(&dib, static_cast<COLORREF>(clear));
                inFrame = true;
                ++frames;
            }
        } else if (command == "brush") {
            long colour = 0;
            ok = inFrame && tokens.Number(&colour);
            if (ok) {
                SelectSolidBrush(&dib, static_cast<COLORREF>(colour));
            }
        } else if (command == "rect") {
            long r[4] = {};
            ok =
                inFrame && tokens.Number(&r[0]) && tokens.Number(&r[1]) && tokens.Number(&r[2]) && tokens.Number(&r[3]);
            if (ok) {
                Rectangle(dib.dc, r[0], r[1], r[2], r[3]);
            }
        } else if (command == "poly") {
            long n = 0;
            ok = inFrame && tokens.Number(&n) && n >= 0 && n <= kMaxPoints;
            points.assign(static_cast<std::size_t>(ok ? n : 0), POINT{});
            for (POINT& p : points) {
                ok = ok && tokens.Number(&p.x) && tokens.Number(&p.y);
            }
            if (ok) {
                Polygon(dib.dc, points.data(), static_cast<int>(n));
            }
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "gdi_reference: bad line %d\n", lineNumber);
            return 3;
        }
    }
    if (inFrame && !WriteFrame(dib, out)) {
        std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[2]);
        return 2;
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[2]);
        return 2;
    }
    std::fclose(in);
    std::printf("gdi_reference: %d frames\n", frames);
    return 0;
}
