#pragma once
// Test helpers (not a test program): ink rasters drawn by code, a 1-bit BMP file of one.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "kernova/engine/InkBitmap.h"

namespace samples {

using kernova::InkBitmap;

inline InkBitmap blank(int width, int height) {
  return {width, height, std::vector<uint8_t>(size_t(width) * size_t(height), 0)};
}

inline void set(InkBitmap& b, int x, int y, bool ink = true) {
  if (x >= 0 && y >= 0 && x < b.width && y < b.height) b.ink[size_t(y) * b.width + x] = ink;
}

inline void fillRect(InkBitmap& b, int x0, int y0, int x1, int y1) {  // inclusive
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) set(b, x, y);
}

// Pixels whose centre lies within `radius` of the segment (a round-capped stroke).
inline void stroke(InkBitmap& b, double ax, double ay, double bx, double by, double radius, bool ink = true) {
  double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      double t = length2 > 0 ? ((x + 0.5 - ax) * dx + (y + 0.5 - ay) * dy) / length2 : 0;
      t = std::fmin(1, std::fmax(0, t));
      if (std::hypot(ax + t * dx - x - 0.5, ay + t * dy - y - 0.5) <= radius) set(b, x, y, ink);
    }
}

// A 1-bit bottom-up BMP of `b`: palette (white, black), or (black, white) when `inkFirst`.
inline std::vector<uint8_t> encodeBmp(const InkBitmap& b, bool inkFirst = false) {
  const uint32_t stride = (uint32_t(b.width) + 31) / 32 * 4, offset = 62;
  std::vector<uint8_t> v(offset + size_t(stride) * b.height, 0);
  v[0] = 'B', v[1] = 'M';
  for (auto [at, value] : {std::pair<size_t, uint32_t>{2, v.size()}, {10, offset}, {14, 40}, {18, b.width},
                           {22, b.height}, {26, 1 | 1 << 16}})  // planes 1, bits 1
    for (int k = 0; k < 4; ++k) v[at + k] = uint8_t(value >> 8 * k);
  std::fill_n(v.begin() + (inkFirst ? 58 : 54), 3, 255);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (b.at(x, y) != inkFirst) v[offset + size_t(b.height - 1 - y) * stride + x / 8] |= uint8_t(0x80 >> x % 8);
  return v;
}

}  // namespace samples
