#pragma once
// The editor's sample glyph as the lettering tool exports it: the 512 x 512 canvas as a
// 1-bit bottom-up BMP, palette entry 0 black (ink): a ring with a bar through its side,
// two contours, one of them a hole.
#include <fstream>
#include <string>

#include "tests/kernova/engine/BmpSamples.h"

namespace kernova::testing {

inline std::vector<uint8_t> sampleGlyphBmp() {
  InkBitmap canvas = samples::blank(512, 512);
  samples::stroke(canvas, 256, 260, 256, 260, 150);
  samples::stroke(canvas, 256, 260, 256, 260, 80, false);
  samples::fillRect(canvas, 380, 80, 419, 441);
  return samples::encodeBmp(canvas, true);
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}

}  // namespace kernova::testing
