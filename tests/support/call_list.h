// Canvas calls as data: recorded from the frame code or made up by a test, played back into
// any canvas, and written and read as the text that the GDI reference drawer and the GDI
// benchmark draw with. One writer and one reader, here, for both sides.
//
// The text, one call a line (blank lines are ignored, a line may end in CRLF):
//   scene NAME              a named group of one or more frames
//   frame 0xBBGGRR          a frame: the bitmap cleared to this colour, the stock white brush
//   brush 0xBBGGRR          SelectBrush
//   rect L T R B            Rectangle
//   poly N X1 Y1 ... XN YN  Polygon
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

// The bitmap every frame is drawn into, on either side.
constexpr int kCallFrameWidth = 240;
constexpr int kCallFrameHeight = 270;
// What a fresh device context selects before any brush.
constexpr Colour kStockWhite = 0xFFFFFF;

struct CanvasCall {
    enum class Kind : std::uint8_t { Brush, Rect, Poly };
    Kind kind = Kind::Brush;
    Colour colour = 0;           // Brush
    int rect[4] = {0, 0, 0, 0};  // Rect: left, top, right, bottom
    std::size_t first = 0;       // Poly: its first point in CallFrame::points
    int count = 0;               // Poly: how many
};

// The points of all polygons sit in one array, so playing a frame back touches no heap.
struct CallFrame {
    Colour clear = 0;
    std::vector<CanvasCall> calls;
    std::vector<Point> points;

    // The calls alone; clearing and the stock brush are the caller's.
    void PlayInto(Canvas& canvas) const;
    [[nodiscard]] const Point* PointsOf(const CanvasCall& call) const { return points.data() + call.first; }
};

struct CallScene {
    std::string name;
    std::vector<CallFrame> frames;
};

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(CallFrame* frame) : m_frame(frame) {}

    void SelectBrush(Colour colour) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const Point* points, int count) override;

private:
    CallFrame* m_frame;
};

// One call's line, without the line end.
std::string WriteCall(const CallFrame& frame, const CanvasCall& call);
std::string WriteCallList(const std::vector<CallScene>& scenes);
// Every scene has a frame and every call a frame to belong to; colours are 0x000000..0xFFFFFF
// and coordinates 32-bit. On a refusal *error is "line N: what is wrong".
bool ReadCallList(const std::string& text, std::vector<CallScene>* scenes, std::string* error);

bool WriteCallListFile(const std::string& path, const std::vector<CallScene>& scenes, std::string* error);
bool ReadCallListFile(const std::string& path, std::vector<CallScene>* scenes, std::string* error);
