#pragma once
// Reading and tracing many glyph bitmaps at once, spread over threads: the pure part of
// a batch import, done before the document is touched.
#include <cstdint>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/Glyph.h"

namespace kernova {

// One BMP file image read (readBmp) and traced (traceBitmap, default parameters).
// `read` fails for an image that does not decode; `traced` for one that does not trace
// and is then not tried.
struct TracedBmp {
  Status read = Status::success();
  Status traced = Status::success();
  std::vector<Contour> contours;
};

// Result i is that of images[i], exactly what reading and tracing them one after
// another gives, on up to `threads` threads (the calling one among them).
std::vector<TracedBmp> traceBmps(const std::vector<const std::vector<uint8_t>*>& images, unsigned threads);

}  // namespace kernova
