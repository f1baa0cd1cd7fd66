// gdi_reference IN OUT: draws the call list IN (tests/support/call_list.h) with GDI into a
// 240 x 270, 32-bit top-down DIB section, frame after frame, and writes each frame's pixels to
// OUT as pixel runs (tests/support/pixel_runs.h). Every frame starts from the bitmap cleared to
// its colour and the stock white brush; each brush is made when it is selected.
// Exit code 0 on success; 2 bad arguments or files, 3 a bad call list, 4 GDI failure.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/call_list.h"
#include "tests/support/pixel_runs.h"

namespace {

struct Dib {
    HDC dc = nullptr;
    std::uint32_t* bits = nullptr;
    HGDIOBJ stockBrush = nullptr;
    HBRUSH brush = nullptr;
};

bool CreateDib(Dib* dib) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCallFrameWidth;
    info.bmiHeader.biHeight = -kCallFrameHeight;  // top-down
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

// The calls straight into the DIB, a new brush for every selection as a plain GDI program makes them.
class DibCanvas final : public Canvas {
public:
    explicit DibCanvas(Dib* dib) : m_dib(dib) {}

    void SelectBrush(Colour colour) override {
        HBRUSH brush = CreateSolidBrush(colour);
        SelectObject(m_dib->dc, brush);
        if (m_dib->brush != nullptr) {
            DeleteObject(m_dib->brush);
        }
        m_dib->brush = brush;
    }
    void Rectangle(int left, int top, int right, int bottom) override {
        ::Rectangle(m_dib->dc, left, top, right, bottom);
    }
    void Polygon(const Point* points, int count) override {
        m_points.resize(static_cast<std::size_t>(count > 0 ? count : 0));
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            m_points[i] = POINT{points[i].x, points[i].y};
        }
        ::Polygon(m_dib->dc, m_points.data(), count);
    }

private:
    Dib* m_dib;
    std::vector<POINT> m_points;
};

void StartFrame(Dib* dib, COLORREF clear) {
    SelectObject(dib->dc, dib->stockBrush);
    if (dib->brush != nullptr) {
        DeleteObject(dib->brush);
        dib->brush = nullptr;
    }
    GdiFlush();
    // A 32-bit pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    const std::uint32_t pixel = ((clear & 0xFFU) << 16U) | (clear & 0xFF00U) | ((clear >> 16U) & 0xFFU);
    for (int i = 0; i < kCallFrameWidth * kCallFrameHeight; ++i) {
        dib->bits[i] = pixel;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gdi_reference IN OUT\n");
        return 2;
    }
    std::vector<CallScene> scenes;
    std::string error;
    if (!ReadCallListFile(argv[1], &scenes, &error)) {
        std::fprintf(stderr, "gdi_reference: %s\n", error.c_str());
        return error.rfind("cannot ", 0) == 0 ? 2 : 3;  // the file, or a line in it
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "gdi_reference: cannot open %s\n", argv[2]);
        return 2;
    }
    Dib dib;
    if (!CreateDib(&dib)) {
        std::fprintf(stderr, "gdi_reference: cannot create the DIB section\n");
        return 4;
    }
    DibCanvas canvas(&dib);
    int frames = 0;
    std::vector<std::uint8_t> runs;
    for (const CallScene& scene : scenes) {
        for (const CallFrame& frame : scene.frames) {
            StartFrame(&dib, frame.clear);
            frame.PlayInto(canvas);
            GdiFlush();
            runs.clear();
            WritePixelRuns(dib.bits, kCallFrameWidth, kCallFrameHeight, &runs);
            if (std::fwrite(runs.data(), 1, runs.size(), out) != runs.size()) {
                std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[2]);
                return 2;
            }
            ++frames;
        }
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[2]);
        return 2;
    }
    std::printf("gdi_reference: %d frames\n", frames);
    return 0;
}
