// Which face lies under a stylus point, on the last projection.
#pragma once

#include "model/puzzle.h"
#include "platform/geometry.h"

int HitPieceFace(const Piece& piece, int px, int py);
// The face under the point on the piece painted nearest, walking a painting order (back to
// front) from its end; the slot goes to *slot. -1 when every piece misses. Pieces by slot.
int PickPieceFace(const Piece (&pieces)[8], const int (&drawOrder)[8], int px, int py, int* slot);
bool IsPointInFace(const Piece& piece, int px, int py, int face);
bool PointInPolygon(const Point* points, int count, int px, int py);
int PickBoxFace(const OuterBox& box, int px, int py);
bool IsAngleBetween(double p, double a, double b);
