#pragma once
// From a bitmap file to TrueType contours placed on the canvas geometry.
#include <cstdint>
#include <string>
#include <vector>

#include "kernova/engine/Glyph.h"
#include "common/Status.h"

namespace kernova {

// A 1-bit raster: true = ink. Row 0 is the top row.
struct InkBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> ink;  // width * height, row-major, 0 or 1
  bool at(int x, int y) const { return ink[size_t(y) * width + x] != 0; }
};

// Strict BMP reader (1-bit uncompressed, both row orders, both palette orders;
// 8, 24 and 32-bit uncompressed; ink = dark pixels; at most 8192 x 8192).
Status readBmp(const std::vector<uint8_t>& bytes, InkBitmap& out);
Status readBmpFile(const std::string& path, InkBitmap& out);

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
