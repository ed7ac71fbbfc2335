#pragma once
// The raster that bitmap files are read into and that the tracer traces.
#include <cstdint>
#include <vector>

namespace kernova {

// A 1-bit raster: true = ink. Row 0 is the top row.
struct InkBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> ink;  // width * height, row-major, 0 or 1
  bool at(int x, int y) const { return ink[size_t(y) * width + x] != 0; }
};

}  // namespace kernova
