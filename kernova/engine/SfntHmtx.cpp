// hmtx: each glyph's advance and left side bearing.
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct LongHorMetric {
  UFWord advanceWidth;
  FWord lsb;
};
static_assert(sizeof(LongHorMetric) == 4);

}  // namespace

// hhea.numberOfHMetrics counts every glyph, so there is no leftSideBearings array.
std::vector<uint8_t> compileHmtx(const FontLayout& layout) {
  SfntBuffer out;
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    LongHorMetric metric;
    metric.advanceWidth = glyph.advance;
    metric.lsb = glyph.box.xMin;  // 0 for a glyph without points
    out.record(metric);
  }
  return out.take();
}

}  // namespace kernova::sfnt
