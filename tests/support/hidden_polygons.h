// The polygons a frame would not miss: how far culling hidden polygons could go at best.
#pragma once

#include "tests/support/call_list.h"

// Leaves out of `frame`, one by one in call order, every polygon whose leaving out changes no
// pixel of the frame as SoftCanvas paints it on a bitmap cleared to `frame->clear`. Returns how
// many polygons it left out.
int DropHiddenPolygons(CallFrame* frame);
