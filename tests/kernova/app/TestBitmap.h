#pragma once
// The editor's sample glyph as the lettering tool exports it: the 512 x 512 canvas as a
// 1-bit bottom-up BMP, palette entry 0 black (ink), 1 white.
#include <fstream>
#include <string>

#include "tests/kernova/engine/BmpSamples.h"

namespace kernova::testing {

// A ring with a bar through its side: two contours, one of them a hole.
inline std::vector<uint8_t> sampleGlyphBmp() {
  InkBitmap canvas = samples::blank(512, 512);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const int r2 = (x - 256) * (x - 256) + (y - 260) * (y - 260);
      samples::set(canvas, x, y, (r2 <= 150 * 150 && r2 >= 80 * 80) || (x >= 380 && x < 420 && y >= 80 && y < 442));
    }
  return samples::encodeBmp(canvas, {.inkIsEntryZero = true});
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}

}  // namespace kernova::testing
