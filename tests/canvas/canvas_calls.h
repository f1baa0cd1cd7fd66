// Canvas calls as data: recorded from the frame code or generated, written as the call
// list the GDI reference drawer reads, and replayed into a SoftCanvas.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/soft_canvas.h"

struct CanvasCall {
    enum class Kind : std::uint8_t { Brush, Rect, Poly };
    Kind kind = Kind::Brush;
    Colour colour = 0;
    int rect[4] = {0, 0, 0, 0};
    std::vector<Point> points;
};

// One frame: the bitmap cleared to `clear`, the stock white brush, then the calls.
struct CallFrame {
    std::string group;
    Colour clear = 0;
    std::vector<CanvasCall> calls;
};

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(std::vector<CanvasCall>* calls) : m_calls(calls) {}

    void SelectBrush(Colour colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const Point* points, int count) override;

private:
    std::vector<CanvasCall>* m_calls;
};

constexpr Colour kStockWhite = 0xFFFFFF;

void Replay(const CallFrame& frame, SoftCanvas& canvas);
std::string DescribeCall(const CanvasCall& call);
// The text the GDI reference drawer reads.
std::string FormatCallList(const std::vector<CallFrame>& frames);
// Its output: per frame and row, runs of (uint16 count, red, green, blue).
bool DecodeReferenceFrames(const std::vector<std::uint8_t>& data, std::size_t frameCount,
                           std::vector<std::vector<std::uint8_t>>* frames, std::string* error);
