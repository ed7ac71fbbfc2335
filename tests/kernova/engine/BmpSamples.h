#pragma once
// Test helpers: ink rasters drawn by code, and BMP files written from them in the
// forms the reader must accept. Not a test program by itself.
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
inline void stroke(InkBitmap& b, double ax, double ay, double bx, double by, double radius,
                   bool ink = true) {
  double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      double t = length2 > 0 ? ((x + 0.5 - ax) * dx + (y + 0.5 - ay) * dy) / length2 : 0;
      t = std::fmin(1, std::fmax(0, t));
      if (std::hypot(ax + t * dx - x - 0.5, ay + t * dy - y - 0.5) <= radius) set(b, x, y, ink);
    }
}

struct BmpForm {
  int bits = 1;
  bool topDown = false;
  bool inkIsEntryZero = false;  // 1-bit: palette (black, white) instead of (white, black)
  uint32_t headerSize = 40;
  bool bitfields = false;       // 32-bit only: BI_BITFIELDS with A8R8G8B8 masks
};

inline void put16(std::vector<uint8_t>& v, size_t at, uint32_t value) {
  v[at] = uint8_t(value);
  v[at + 1] = uint8_t(value >> 8);
}
inline void put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
  put16(v, at, value & 0xFFFF);
  put16(v, at + 2, value >> 16);
}

// Ink pixels are written dark (not always black), background light (not always white).
inline std::vector<uint8_t> encodeBmp(const InkBitmap& b, const BmpForm& form) {
  uint32_t stride = (uint32_t(b.width) * form.bits + 31) / 32 * 4;
  uint32_t paletteCount = form.bits <= 8 ? (1u << form.bits) : 0;
  bool masksAfterHeader = form.bitfields && form.headerSize == 40;
  uint32_t offset = 14 + form.headerSize + (masksAfterHeader ? 12 : 0) + paletteCount * 4;
  std::vector<uint8_t> v(offset + size_t(stride) * b.height, 0);
  v[0] = 'B', v[1] = 'M';
  for (auto [at, value] : {std::pair<size_t, uint32_t>{2, v.size()}, {10, offset}, {14, form.headerSize},
                           {18, b.width}, {22, form.topDown ? -b.height : b.height},
                           {30, form.bitfields ? 3 : 0}, {34, stride * b.height}})
    put32(v, at, value);
  put16(v, 26, 1);
  put16(v, 28, uint32_t(form.bits));
  if (form.bitfields) {
    for (auto [at, mask] : {std::pair<size_t, uint32_t>{54, 0xFF0000}, {58, 0xFF00}, {62, 0xFF}}) put32(v, at, mask);
    if (form.headerSize >= 56) put32(v, 66, 0xFF000000);
  }
  size_t palette = 14 + form.headerSize;
  for (uint32_t i = 0; i < paletteCount; ++i) {
    uint8_t grey = form.bits == 1 ? ((i == 0) == form.inkIsEntryZero ? 0 : 255) : uint8_t(i);
    v[palette + 4 * i] = v[palette + 4 * i + 1] = v[palette + 4 * i + 2] = grey;
  }
  for (int y = 0; y < b.height; ++y) {
    size_t row = offset + size_t(form.topDown ? y : b.height - 1 - y) * stride;
    for (int x = 0; x < b.width; ++x) {
      bool ink = b.at(x, y);
      size_t p = row + size_t(x) * (form.bits / 8);
      if (form.bits == 1) {
        if (ink != form.inkIsEntryZero) v[row + x / 8] |= uint8_t(0x80 >> (x % 8));
      } else if (form.bits == 8) {
        v[p] = ink ? 20 : 230;
      } else {  // blue, green, red, alpha
        v[p] = ink ? 60 : 250, v[p + 1] = ink ? 40 : 245, v[p + 2] = ink ? 90 : 240;
        if (form.bits == 32) v[p + 3] = 255;
      }
    }
  }
  return v;
}

}  // namespace samples
