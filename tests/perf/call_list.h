// A frame's canvas calls, recorded once and played back into any canvas, and written
// in the text form the Windows benchmark draws with GDI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

struct CallList {
    enum class Kind : std::uint8_t { Brush, Rect, Poly };
    struct Call {
        Kind kind;
        Colour colour;
        int rect[4];
        int first;  // Poly: index of its first point in `points`
        int count;
    };
    std::vector<Call> calls;
    std::vector<Point> points;

    void PlayInto(Canvas& canvas) const;
    // "frame 0xBBGGRR", then one brush, rect or poly line per call.
    [[nodiscard]] std::string Format(Colour clear) const;
};

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(CallList* list) : m_list(list) {}

    void SelectBrush(Colour colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const Point* points, int count) override;

private:
    CallList* m_list;
};
