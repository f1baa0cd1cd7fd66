// The bound on culling: a polygon is left out only when every pixel it paints, outline included,
// is painted again later, by one polygon or by several together.
#include "tests/support/hidden_polygons.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace {

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

struct HiddenCase {
    const char* name;
    std::vector<Box> boxes;  // drawn as four-point polygons in this order, each in a brush of its own
    std::vector<int> kept;   // the boxes left in
};

TEST(HiddenPolygons, LeavesOutOnlyWhatIsPaintedOverInFull) {
    const HiddenCase cases[] = {
        {"under one later polygon", {{10, 10, 20, 20}, {5, 5, 30, 30}}, {1}},
        {"under two later ones that share an edge", {{10, 10, 30, 30}, {5, 5, 20, 35}, {20, 5, 35, 35}}, {1, 2}},
        {"only its outline shows", {{10, 10, 30, 30}, {11, 11, 29, 29}}, {0, 1}},
        {"partly covered", {{10, 10, 30, 30}, {20, 20, 40, 40}}, {0, 1}},
        {"the same one three times", {{10, 10, 30, 30}, {10, 10, 30, 30}, {10, 10, 30, 30}}, {2}},
        {"the last one", {{10, 10, 30, 30}}, {0}},
    };
    for (const HiddenCase& c : cases) {
        SCOPED_TRACE(c.name);
        CallFrame frame;
        frame.clear = 0x800000;
        RecordingCanvas recorder(&frame);
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            const Box& b = c.boxes[i];
            const Point corners[] = {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
            recorder.SelectBrush(0x102030U * static_cast<Colour>(i + 1));
            recorder.Polygon(corners, 4);
        }
        const int dropped = DropHiddenPolygons(&frame);
        std::vector<int> kept;
        for (const CanvasCall& call : frame.calls) {
            if (call.kind == CanvasCall::Kind::Poly) {
                kept.push_back(static_cast<int>(call.first / 4));
            }
        }
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(dropped, static_cast<int>(c.boxes.size() - c.kept.size()));
    }
}

}  // namespace
