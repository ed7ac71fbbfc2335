#include "reference/ReferenceGuide.h"

#include <QImage>
#include <vector>

#include "canvas/RetainedImage.h"

namespace reference {

double dragStep(double size, double lastPos, double pos, double maxSize) {
  const double next = size - (lastPos - pos) / kTwipsPerPixel;
  return next > kLabelSizeFloor && next <= maxSize ? next : size;
}

Colour toggledReferenceColour(Colour colour) {
  return colour == colours::SystemAppWorkspace ? colours::SystemActiveBorder
                                               : colours::SystemAppWorkspace;
}

// Nearest-neighbour enlargement: destination pixel d of a span of `to` pixels takes
// source pixel floor(d * from / to), so each source pixel becomes a whole block.
void enlargeReference(const QImage& label, RetainedImage& target) {
  const QImage source = label.convertToFormat(QImage::Format_RGB32);
  const int fromW = source.width() - 1, fromH = source.height() - 1;
  if (fromW <= 0 || fromH <= 0) return;
  QImage& image = target.image();
  const int toW = image.width() + 1, toH = image.height() + 1;
  std::vector<int> column(image.width());
  for (int x = 0; x < image.width(); ++x) column[x] = 1 + int(int64_t(x) * fromW / toW);
  for (int y = 0; y < image.height(); ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(
        source.constScanLine(1 + int(int64_t(y) * fromH / toH)));
    auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) out[x] = in[column[x]];
  }
  target.markDirty(image.rect());
}

}  // namespace reference
