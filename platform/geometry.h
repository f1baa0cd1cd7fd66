// Screen geometry shared by the drawing seam and hit testing.
#pragma once

// An integer screen point, as the platform's POINT.
struct Point {
    int x;
    int y;
};
