// The drawing seam: the three GDI calls a frame is made of.
#pragma once

#include "platform/colour.h"
#include "platform/geometry.h"

// Every shape is filled with the selected brush and outlined with a 1-pixel
// solid black pen, as a fresh memory device context draws them.
class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&&) = delete;
    Canvas& operator=(Canvas&&) = delete;
    virtual ~Canvas() = default;

    virtual void SelectBrush(Colour colour) = 0;
    // Right and bottom exclusive; the outline lies on the inclusive border.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // Closed polygon, alternate fill mode.
    virtual void Polygon(const Point* points, int count) = 0;
};
