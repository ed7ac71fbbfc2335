#pragma once
// From an ink raster to TrueType contours placed on the canvas geometry.
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

// Traces the bitmap and returns contours in font units, placed by the canvas
// geometry (4 units per pixel, row 442 the baseline), outer contours clockwise.
Status traceBitmap(const InkBitmap& bitmap, const TraceParameters& parameters,
                   std::vector<Contour>& contours);

// The exact signed area of a contour, implied on-curve points included: positive
// when it runs counter-clockwise with y up (a hole), negative clockwise (an outer).
double contourSignedArea(const Contour& contour);

}  // namespace kernova
