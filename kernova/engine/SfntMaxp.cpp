// maxp version 1.0: the glyph count and the largest glyph, for the rasteriser's
// storage. The fonts carry no instructions and no composite glyphs.
#include <algorithm>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct MaxpTable {
  Version16Dot16 version = 0x00010000;
  UInt16 numGlyphs;
  UInt16 maxPoints;
  UInt16 maxContours;
  UInt16 maxCompositePoints = 0;
  UInt16 maxCompositeContours = 0;
  UInt16 maxZones = 2;  // the glyph zone and the twilight zone
  UInt16 maxTwilightPoints = 0;
  UInt16 maxStorage = 0;
  UInt16 maxFunctionDefs = 0;
  UInt16 maxInstructionDefs = 0;
  UInt16 maxStackElements = 0;
  UInt16 maxSizeOfInstructions = 0;
  UInt16 maxComponentElements = 0;
  UInt16 maxComponentDepth = 0;
};
static_assert(sizeof(MaxpTable) == 32);

}  // namespace

std::vector<uint8_t> compileMaxp(const FontLayout& layout) {
  size_t maxPoints = 0, maxContours = 0;
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    maxPoints = std::max(maxPoints, glyph.pointCount);
    maxContours = std::max(maxContours, glyph.contours.size());
  }
  MaxpTable maxp;
  maxp.numGlyphs = uint16_t(layout.glyphs.size());
  maxp.maxPoints = uint16_t(maxPoints);
  maxp.maxContours = uint16_t(maxContours);
  SfntBuffer out;
  out.record(maxp);
  return out.take();
}

}  // namespace kernova::sfnt
