#pragma once
// The outline model of the editor: TrueType contours in font units.
#include <cstdint>
#include <vector>

namespace kernova {

// unitsPerEm 2048; one canvas pixel is 4 units; canvas row 442 is the baseline,
// so canvas point (x, y) lands at (4x, 4(442 - y)).
inline constexpr int kUnitsPerEm = 2048;
inline constexpr int kUnitsPerPixel = 4;
inline constexpr int kBaselineRow = 442;
inline constexpr int kAscender = 1768;
inline constexpr int kDescender = -280;
inline constexpr int kDefaultAdvance = 2048;  // the canvas width

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool onCurve = true;
  friend bool operator==(const Point&, const Point&) = default;
};

// A closed TrueType contour: on- and off-curve points, outer contours clockwise
// (y grows upward), holes counter-clockwise.
using Contour = std::vector<Point>;

struct Glyph {
  std::vector<Contour> contours;
  int32_t advance = kDefaultAdvance;
  bool advanceSet = false;  // advance changed by side bearings or read from a file

  bool empty() const { return contours.empty(); }
  friend bool operator==(const Glyph&, const Glyph&) = default;
};

}  // namespace kernova
