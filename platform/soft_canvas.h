// A 240 x 270 software canvas that paints the same pixels as GDI.
#pragma once

#include <cstdint>

#include "platform/canvas.h"

class SoftCanvas final : public Canvas {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 270;

    SoftCanvas();

    void SelectBrush(Colour colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const Point* points, int count) override;

    // Fills every pixel with one colour (a new bitmap is black).
    void Clear(Colour colour);
    [[nodiscard]] Colour PixelAt(int x, int y) const;
    // Rows top to bottom, 3 bytes a pixel: red, green, blue.
    [[nodiscard]] const std::uint8_t* Rgb() const { return m_rgb; }

    // The brush's colour repeated over this many bytes, ready for block stores.
    static constexpr int kPatternBytes = 64;

private:
    alignas(16) std::uint8_t m_rgb[kWidth * kHeight * 3];
    Colour m_brush = 0xFFFFFF;  // the stock white brush of a fresh device context
    alignas(16) std::uint8_t m_brushPattern[kPatternBytes];
};
