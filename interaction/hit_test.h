// Which face lies under a stylus point, on the last projection.
#pragma once

#include "model/puzzle.h"
#include "platform/geometry.h"

int HitPieceFace(const Piece& piece, int px, int py);
bool IsPointInFace(const Piece& piece, int px, int py, int face);
bool PointInPolygon(const Point* points, int count, int px, int py);
int PickBoxFace(const OuterBox& box, int px, int py);
bool IsAngleBetween(double p, double a, double b);
