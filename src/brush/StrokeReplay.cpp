#include "brush/StrokeReplay.h"

#include <algorithm>

#include "brush/Surface.h"

void replayStrokes(const StrokeLog& log, Surface& surface, int32_t fromIndex, int32_t toIndex) {
  fromIndex = std::max(fromIndex, 0);
  for (int32_t i = fromIndex; i <= toIndex; ++i) {
    const StrokeRecord& r = log.at(i);
    switch (StrokeKind(r.kind)) {
      case StrokeKind::Begin:
      case StrokeKind::BeginGrey:
        surface.setForeColor(r.kind == int16_t(StrokeKind::Begin) ? colours::Black
                                                                  : colours::LightGreyInk);
        surface.setDrawWidth(r.width);
        surface.dot(r.x, r.y);
        break;
      case StrokeKind::Line:
        surface.setDrawWidth(r.width);
        surface.lineTo(r.x, r.y);
        break;
      default:
        break;
    }
  }
}
