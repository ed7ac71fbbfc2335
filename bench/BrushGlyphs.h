#pragma once
// Realistic glyph rasters for the engine benchmarks: four brush strokes on the
// 512 x 512 canvas — a swelling horizontal, a curved vertical, a loop (a hole) and a
// tapering sweep — each bent a little differently per variant.
#include <cmath>
#include <utility>

#include "tests/kernova/engine/BmpSamples.h"

namespace bench {

// A round brush dragged along a path, its radius following `width(t)`.
template <typename Path, typename Width>
void brushStroke(kernova::InkBitmap& bitmap, Path path, Width width) {
  for (int i = 0; i <= 600; ++i) {
    const double t = i / 600.0;
    const auto [cx, cy] = path(t);
    const double r = width(t);
    for (int y = int(cy - r); y <= int(cy + r) + 1; ++y)
      for (int x = int(cx - r); x <= int(cx + r) + 1; ++x)
        if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= r * r)
          samples::set(bitmap, x, y);
  }
}

inline kernova::InkBitmap brushGlyph(int variant) {
  kernova::InkBitmap bitmap = samples::blank(512, 512);
  using P = std::pair<double, double>;
  const double v = variant;
  brushStroke(bitmap, [&](double t) { return P{80 + 330 * t, 120 + 15 * v - 25 * t}; },
              [&](double t) { return 9 + (6 + v) * std::sin(M_PI * t); });
  brushStroke(bitmap, [&](double t) { return P{200 + 20 * v + 30 * std::sin(2 * t), 50 + 390 * t}; },
              [](double t) { return 17 - 9 * t; });
  brushStroke(bitmap,
              [&](double t) {
                const double a = 2 * M_PI * (1.05 + 0.05 * v) * t;
                return P{310 + (100 + 5 * v) * std::cos(a) - 50 * t, 310 + 90 * std::sin(a)};
              },
              [](double t) { return 7 + 8 * t; });
  brushStroke(bitmap, [&](double t) { return P{100 + 220 * t, 430 - (180 + 10 * v) * t * t}; },
              [](double t) { return 15 * (1 - t) + 2; });
  return bitmap;
}

}  // namespace bench
