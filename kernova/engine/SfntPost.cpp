// post version 3.0: underline metrics, no glyph names.
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct PostTable {
  Version16Dot16 version = 0x00030000;
  Fixed italicAngle = 0;
  FWord underlinePosition = -154;  // 0.075 em below the baseline
  FWord underlineThickness = 102;  // 0.05 em
  UInt32 isFixedPitch = 0;
  UInt32 minMemType42 = 0;
  UInt32 maxMemType42 = 0;
  UInt32 minMemType1 = 0;
  UInt32 maxMemType1 = 0;
};
static_assert(sizeof(PostTable) == 32);

}  // namespace

std::vector<uint8_t> compilePost(const FontLayout&) {
  SfntBuffer out;
  out.record(PostTable{});
  return out.take();
}

}  // namespace kernova::sfnt
