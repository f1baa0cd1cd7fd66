#include "tests/canvas/canvas_calls.h"

#include <cstdio>
#include <utility>

void RecordingCanvas::SelectBrush(Colour colour) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Brush;
    call.colour = colour;
    m_calls->push_back(call);
}

void RecordingCanvas::Rectangle(int left, int top, int right, int bottom) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Rect;
    call.rect[0] = left;
    call.rect[1] = top;
    call.rect[2] = right;
    call.rect[3] = bottom;
    m_calls->push_back(call);
}

void RecordingCanvas::Polygon(const Point* points, int count) {
    CanvasCall call;
    call.kind = CanvasCall::Kind::Poly;
    if (points != nullptr && count > 0) {
        call.points.assign(points, points + count);
    }
    m_calls->push_back(call);
}

void Replay(const CallFrame& frame, SoftCanvas& canvas) {
    canvas.Clear(frame.clear);
    canvas.SelectBrush(kStockWhite);
    for (const CanvasCall& call : frame.calls) {
        switch (call.kind) {
            case CanvasCall::Kind::Brush:
                canvas.SelectBrush(call.colour);
                break;
            case CanvasCall::Kind::Rect:
                canvas.Rectangle(call.rect[0], call.rect[1], call.rect[2], call.rect[3]);
                break;
            case CanvasCall::Kind::Poly:
                canvas.Polygon(call.points.data(), static_cast<int>(call.points.size()));
                break;
        }
    }
}

std::string DescribeCall(const CanvasCall& call) {
    char text[64];
    switch (call.kind) {
        case CanvasCall::Kind::Brush:
            std::snprintf(text, sizeof text, "brush 0x%06X", static_cast<unsigned>(call.colour));
            return text;
        case CanvasCall::Kind::Rect:
            std::snprintf(text, sizeof text, "rect %d %d %d %d", call.rect[0], call.rect[1], call.rect[2],
                          call.rect[3]);
            return text;
        case CanvasCall::Kind::Poly: {
            std::string line = "poly " + std::to_string(call.points.size());
            for (const Point& p : call.points) {
                line += " " + std::to_string(p.x) + " " + std::to_string(p.y);
            }
            return line;
        }
    }
    return {};
}

std::string FormatCallList(const std::vector<CallFrame>& frames) {
    std::string text;
    char line[32];
    for (const CallFrame& frame : frames) {
        std::snprintf(line, sizeof line, "frame 0x%06X\n", static_cast<unsigned>(frame.clear));
        text += line;
        for (const CanvasCall& call : frame.calls) {
            text += DescribeCall(call);
            text += '\n';
        }
    }
    return text;
}

bool DecodeReferenceFrames(const std::vector<std::uint8_t>& data, std::size_t frameCount,
                           std::vector<std::vector<std::uint8_t>>* frames, std::string* error) {
    constexpr int kW = SoftCanvas::kWidth;
    constexpr int kH = SoftCanvas::kHeight;
    frames->clear();
    std::size_t pos = 0;
    for (std::size_t f = 0; f < frameCount; ++f) {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kW) * kH * 3U);
        for (int y = 0; y < kH; ++y) {
            int x = 0;
            while (x < kW) {
                if (pos + 5 > data.size()) {
                    *error = "reference output ends in frame " + std::to_string(f);
                    return false;
                }
                const int run = data[pos] | (data[pos + 1] << 8);
                if (run <= 0 || x + run > kW) {
                    *error = "bad run in frame " + std::to_string(f) + " row " + std::to_string(y);
                    return false;
                }
                for (int i = 0; i < run; ++i, ++x) {
                    std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kW + static_cast<std::size_t>(x)) * 3U];
                    p[0] = data[pos + 2];
                    p[1] = data[pos + 3];
                    p[2] = data[pos + 4];
                }
                pos += 5;
            }
        }
        frames->push_back(std::move(rgb));
    }
    if (pos != data.size()) {
        *error = "reference output has more frames than the call list";
        return false;
    }
    return true;
}
