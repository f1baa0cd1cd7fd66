#include "shell/win32/gdi_canvas.h"

namespace {

// The game paints with ten colours; room for a few more, never freed.
constexpr int kMaxBrushes = 16;
// The pieces' faces and stickers have at most five corners.
constexpr int kMaxPolygonPoints = 16;

struct BrushEntry {
    Colour colour;
    HBRUSH brush;
};

BrushEntry s_brushes[kMaxBrushes];
int s_brushCount = 0;

}  // namespace

HBRUSH GdiCanvas::BrushFor(Colour colour) {
    for (int i = 0; i < s_brushCount; ++i) {
        if (s_brushes[i].colour == colour) {
            return s_brushes[i].brush;
        }
    }
    const HBRUSH brush = CreateSolidBrush(colour);
    if (s_brushCount < kMaxBrushes) {
        s_brushes[s_brushCount++] = BrushEntry{colour, brush};
    }
    return brush;
}

void GdiCanvas::SelectBrush(Colour colour) {
    SelectObject(m_dc, BrushFor(colour));
}

void GdiCanvas::Rectangle(int left, int top, int right, int bottom) {
    ::Rectangle(m_dc, left, top, right, bottom);
}

void GdiCanvas::Polygon(const Point* points, int count) {
    if (count < 0 || count > kMaxPolygonPoints) {
        return;
    }
    POINT gdiPoints[kMaxPolygonPoints];
    for (int i = 0; i < count; ++i) {
        gdiPoints[i].x = points[i].x;
        gdiPoints[i].y = points[i].y;
    }
    ::Polygon(m_dc, gdiPoints, count);
}
