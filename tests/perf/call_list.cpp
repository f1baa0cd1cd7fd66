#include "tests/perf/call_list.h"

#include <cstdio>

void CallList::PlayInto(Canvas& canvas) const {
    for (const Call& c : calls) {
        switch (c.kind) {
            case Kind::Brush:
                canvas.SelectBrush(c.colour);
                break;
            case Kind::Rect:
                canvas.Rectangle(c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
                break;
            case Kind::Poly:
                canvas.Polygon(points.data() + c.first, c.count);
                break;
        }
    }
}

std::string CallList::Format(Colour clear) const {
    std::string out;
    char buf[64];
    std::snprintf(buf, sizeof buf, "frame 0x%06X\n", clear & 0xFFFFFFU);
    out += buf;
    for (const Call& c : calls) {
        switch (c.kind) {
            case Kind::Brush:
                std::snprintf(buf, sizeof buf, "brush 0x%06X\n", c.colour & 0xFFFFFFU);
                out += buf;
                break;
            case Kind::Rect:
                std::snprintf(buf, sizeof buf, "rect %d %d %d %d\n", c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
                out += buf;
                break;
            case Kind::Poly:
                out += "poly " + std::to_string(c.count);
                for (int i = 0; i < c.count; ++i) {
                    const Point& p = points[static_cast<std::size_t>(c.first + i)];
                    out += " " + std::to_string(p.x) + " " + std::to_string(p.y);
                }
                out += "\n";
                break;
        }
    }
    return out;
}

void RecordingCanvas::SelectBrush(Colour colour) {
    m_list->calls.push_back(CallList::Call{CallList::Kind::Brush, colour, {0, 0, 0, 0}, 0, 0});
}

void RecordingCanvas::Rectangle(int left, int top, int right, int bottom) {
    m_list->calls.push_back(CallList::Call{CallList::Kind::Rect, 0, {left, top, right, bottom}, 0, 0});
}

void RecordingCanvas::Polygon(const Point* points, int count) {
    const int first = static_cast<int>(m_list->points.size());
    for (int i = 0; i < count; ++i) {
        m_list->points.push_back(points[i]);
    }
    m_list->calls.push_back(CallList::Call{CallList::Kind::Poly, 0, {0, 0, 0, 0}, first, count});
}
