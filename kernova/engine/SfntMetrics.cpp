// head, hhea, hmtx, maxp and post: the font-wide numbers.
#include <algorithm>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

constexpr uint32_t kVersion1 = 0x00010000;

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

std::vector<uint8_t> compileHead(const FontLayout& layout, bool longOffsets) {
  SfntBuffer out;
  out.u16(1);  // majorVersion
  out.u16(0);  // minorVersion
  out.u32(kFontRevision);
  out.u32(0);           // checkSumAdjustment, set when the file is assembled
  out.u32(0x5F0F3CF5);  // magicNumber
  // Baseline at y=0, left side bearing point at x=0, integer scaling.
  out.u16(0x000B);  // flags
  out.u16(kUnitsPerEm);
  out.u32(uint32_t(kFontTimestamp >> 32));  // created
  out.u32(uint32_t(kFontTimestamp));
  out.u32(uint32_t(kFontTimestamp >> 32));  // modified
  out.u32(uint32_t(kFontTimestamp));
  out.i16(layout.fontBox.xMin);
  out.i16(layout.fontBox.yMin);
  out.i16(layout.fontBox.xMax);
  out.i16(layout.fontBox.yMax);
  out.u16(0);                    // macStyle
  out.u16(8);                    // lowestRecPPEM
  out.i16(2);                    // fontDirectionHint
  out.i16(longOffsets ? 1 : 0);  // indexToLocFormat
  out.i16(0);                    // glyphDataFormat
  return out.take();
}

std::vector<uint8_t> compileHhea(const FontLayout& layout) {
  HorizontalExtremes extremes = horizontalExtremes(layout);
  SfntBuffer out;
  out.u32(kVersion1);
  out.i16(kAscender);
  out.i16(kDescender);
  out.i16(0);  // lineGap
  out.u16(extremes.advanceWidthMax);
  out.i16(extremes.minLeftSideBearing);
  out.i16(extremes.minRightSideBearing);
  out.i16(extremes.xMaxExtent);
  out.i16(1);                               // caretSlopeRise
  out.i16(0);                               // caretSlopeRun
  out.i16(0);                               // caretOffset
  for (int i = 0; i < 4; ++i) out.i16(0);   // reserved
  out.i16(0);                               // metricDataFormat
  out.u16(uint32_t(layout.glyphs.size()));  // numberOfHMetrics: every glyph
  return out.take();
}

std::vector<uint8_t> compileHmtx(const FontLayout& layout) {
  SfntBuffer out;
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    out.u16(glyph.advance);
    out.i16(glyph.box.xMin);  // lsb; 0 for a glyph without points
  }
  return out.take();
}

std::vector<uint8_t> compileMaxp(const FontLayout& layout) {
  size_t maxPoints = 0, maxContours = 0;
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    maxPoints = std::max(maxPoints, glyph.pointCount);
    maxContours = std::max(maxContours, glyph.contours.size());
  }
  SfntBuffer out;
  out.u32(kVersion1);
  out.u16(uint32_t(layout.glyphs.size()));  // numGlyphs
  out.u16(uint32_t(maxPoints));
  out.u16(uint32_t(maxContours));
  out.u16(0);  // maxCompositePoints
  out.u16(0);  // maxCompositeContours
  out.u16(2);  // maxZones: the glyph zone and the twilight zone
  for (int field = 0; field < 8; ++field) out.u16(0);  // no instructions, no composites
  return out.take();
}

std::vector<uint8_t> compilePost(const FontLayout&) {
  SfntBuffer out;
  out.u32(0x00030000);  // version 3.0: no glyph names
  out.u32(0);           // italicAngle
  out.i16(-154);        // underlinePosition, 0.075 em below the baseline
  out.i16(102);         // underlineThickness, 0.05 em
  out.u32(0);           // isFixedPitch
  for (int field = 0; field < 4; ++field) out.u32(0);  // min/maxMemType42, min/maxMemType1
  return out.take();
}

}  // namespace kernova::sfnt
