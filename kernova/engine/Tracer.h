#pragma once
// From an ink raster to TrueType contours placed on the canvas geometry.
#include <cstdint>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/Glyph.h"
#include "kernova/engine/InkBitmap.h"

namespace kernova {

struct TraceParameters {
  int turdSize = 2;            // speckles of up to this many pixels are dropped
  double alphaMax = 1.0;       // corner threshold
  double optTolerance = 0.2;   // curve optimisation tolerance
  double maxQuadraticError = 1.0;  // font units, cubic -> quadratic
};

// The tracer's budget, checked before tracing, so that an import answers within 2 s
// on a busy two-core machine and potrace stays far below 1 GB. potrace's time and
// memory grow with the pixels it scans and with the length of the outlines it follows
// (about 100 bytes and, under load, up to 5 us per pixel edge). 250 000 edges are a
// little less than a 512 x 512 canvas ruled into 256 one-pixel lines; curved outlines
// that long give more points than the 32756 a glyph may hold.
inline constexpr int64_t kMaxTracedPixels = 8 << 20;  // 4096 x 2048, 32 times the canvas
inline constexpr uint64_t kMaxOutlineLength = 250'000;

// The total length of the bitmap's outlines in pixel edges: the ink/paper changes
// along rows and columns, the border counting as paper.
uint64_t outlineLength(const InkBitmap& bitmap);

// Traces the bitmap and returns contours in font units, placed by the canvas
// geometry (4 units per pixel, row 442 the baseline), outer contours clockwise.
// Every curve runs monotonically in x and y between its on-curve points, so the
// extremes are on-curve points and the box of the points is the box of the ink.
// A bitmap beyond the budget above fails without being traced.
Status traceBitmap(const InkBitmap& bitmap, const TraceParameters& parameters,
                   std::vector<Contour>& contours);

// The exact signed area of a contour, implied on-curve points included: positive
// when it runs counter-clockwise with y up (a hole), negative clockwise (an outer).
double contourSignedArea(const Contour& contour);

}  // namespace kernova
