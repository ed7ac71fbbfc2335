#include "kernova/engine/BatchTrace.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "kernova/engine/Bmp.h"
#include "kernova/engine/Tracer.h"

namespace kernova {
namespace {

void readAndTrace(const std::vector<uint8_t>& image, TracedBmp& result) {
  InkBitmap bitmap;
  result.read = readBmp(image, bitmap);
  if (result.read) result.traced = traceBitmap(bitmap, TraceParameters{}, result.contours);
}

}  // namespace

// Each thread takes the next untraced image until none is left; an image's result
// depends on that image alone, so the order the threads take them in does not show.
std::vector<TracedBmp> traceBmps(const std::vector<const std::vector<uint8_t>*>& images, unsigned threads) {
  std::vector<TracedBmp> results(images.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < images.size(); i = next++) readAndTrace(*images[i], results[i]);
  };
  {
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < std::min<size_t>(threads, images.size()); ++t) helpers.emplace_back(work);
    work();
  }  // the helpers join here
  return results;
}

}  // namespace kernova
