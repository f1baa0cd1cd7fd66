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
    [[nodiscard]] const std::uint8_t* Rgb() const;

    // A rectangle over the whole bitmap (a frame's background) is painted only where anything
    // was drawn since the same rectangle last was, and not before the next drawing call or
    // read: the pixels come out the same. After this call the next one paints everything.
    void ForgetBackground();

    // The brush's colour repeated over this many bytes, ready for block stores.
    static constexpr int kPatternBytes = 64;

    // A rectangle over the whole bitmap, its sides clamped to one pixel outside it.
    struct Cover {
        int left;
        int top;
        int right;   // exclusive
        int bottom;  // exclusive
        Colour brush;
        bool operator==(const Cover& other) const;
    };
    // Pixels [x0, x1) x [y0, y1); empty when x0 >= x1.
    struct Box {
        int x0;
        int y0;
        int x1;
        int y1;
    };

private:
    // Paints the held cover, if any.
    void Settle() const;
    // Marks [left, right) x [top, bottom) as drawn over the shown cover.
    void Changed(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

    // Reading the pixels paints a held cover first, hence mutable.
    alignas(16) mutable std::uint8_t m_rgb[kWidth * kHeight * 3];
    Colour m_brush = 0xFFFFFF;  // the stock white brush of a fresh device context
    alignas(16) std::uint8_t m_brushPattern[kPatternBytes];
    // What lies outside m_changed is exactly m_shown's pixels.
    mutable Cover m_shown{};
    mutable bool m_shownValid = false;
    mutable Box m_changed{kWidth, kHeight, 0, 0};
    // A cover asked for and not painted yet.
    mutable Cover m_held{};
    mutable bool m_holding = false;
};
