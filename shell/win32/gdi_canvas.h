// The drawing seam on a GDI device context.
#pragma once

#include <windows.h>

#include "platform/canvas.h"

// Draws into a device context with its default pen. Each colour's brush is made
// the first time it is selected and kept for the life of the program.
class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HDC dc) : m_dc(dc) {}

    void SelectBrush(Colour colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const Point* points, int count) override;

    static HBRUSH BrushFor(Colour colour);

private:
    HDC m_dc;
};
