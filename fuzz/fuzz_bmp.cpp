// Bytes -> readBmp; a small image that reads also goes through traceBitmap.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernova/engine/Bmp.h"
#include "kernova/engine/Tracer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  kernova::InkBitmap bitmap;
  if (!kernova::readBmp(bytes, bitmap)) return 0;
  if (bitmap.ink.size() != size_t(bitmap.width) * size_t(bitmap.height)) __builtin_trap();
  if (bitmap.width * bitmap.height > 256 * 256) return 0;
  std::vector<kernova::Contour> contours;
  if (!kernova::traceBitmap(bitmap, kernova::TraceParameters{}, contours)) __builtin_trap();
  for (const kernova::Contour& contour : contours) {
    if (contour.size() < 3) __builtin_trap();
  }
  return 0;
}
