// hhea: the horizontal header, line metrics and the extremes of the glyphs.
#include <algorithm>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct HheaTable {
  UInt16 majorVersion = 1;
  UInt16 minorVersion = 0;
  FWord ascender = kAscender;
  FWord descender = kDescender;
  FWord lineGap = 0;
  UFWord advanceWidthMax;
  FWord minLeftSideBearing;
  FWord minRightSideBearing;
  FWord xMaxExtent;
  Int16 caretSlopeRise = 1;  // upright
  Int16 caretSlopeRun = 0;
  Int16 caretOffset = 0;
  Int16 reserved1 = 0;
  Int16 reserved2 = 0;
  Int16 reserved3 = 0;
  Int16 reserved4 = 0;
  Int16 metricDataFormat = 0;
  UInt16 numberOfHMetrics;
};
static_assert(sizeof(HheaTable) == 36);

struct HorizontalExtremes {
  uint16_t advanceWidthMax = 0;
  int16_t minLeftSideBearing = 0;
  int16_t minRightSideBearing = 0;
  int16_t xMaxExtent = 0;
};

// Side bearings and extents count only glyphs with outlines, as hhea defines them.
HorizontalExtremes horizontalExtremes(const FontLayout& layout) {
  HorizontalExtremes result;
  bool first = true;
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    result.advanceWidthMax = std::max(result.advanceWidthMax, glyph.advance);
    if (!glyph.hasOutline()) continue;
    int32_t lsb = glyph.box.xMin;
    int32_t rsb = int32_t(glyph.advance) - glyph.box.xMax;
    int32_t extent = glyph.box.xMax;  // lsb + (xMax - xMin)
    auto fit = [](int32_t value) { return int16_t(std::clamp(value, -32768, 32767)); };
    result.minLeftSideBearing = first ? fit(lsb) : std::min(result.minLeftSideBearing, fit(lsb));
    result.minRightSideBearing = first ? fit(rsb) : std::min(result.minRightSideBearing, fit(rsb));
    result.xMaxExtent = first ? fit(extent) : std::max(result.xMaxExtent, fit(extent));
    first = false;
  }
  return result;
}

}  // namespace

std::vector<uint8_t> compileHhea(const FontLayout& layout) {
  const HorizontalExtremes extremes = horizontalExtremes(layout);
  HheaTable hhea;
  hhea.advanceWidthMax = extremes.advanceWidthMax;
  hhea.minLeftSideBearing = extremes.minLeftSideBearing;
  hhea.minRightSideBearing = extremes.minRightSideBearing;
  hhea.xMaxExtent = extremes.xMaxExtent;
  hhea.numberOfHMetrics = uint16_t(layout.glyphs.size());  // every glyph has its own
  SfntBuffer out;
  out.record(hhea);
  return out.take();
}

}  // namespace kernova::sfnt
