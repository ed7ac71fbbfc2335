// glyf and loca.
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

enum GlyphFlag : uint8_t {
  ON_CURVE_POINT = 0x01,
  X_SHORT_VECTOR = 0x02,
  Y_SHORT_VECTOR = 0x04,
  REPEAT_FLAG = 0x08,
  X_IS_SAME_OR_POSITIVE_X_SHORT_VECTOR = 0x10,
  Y_IS_SAME_OR_POSITIVE_Y_SHORT_VECTOR = 0x20,
};

// The flag bits and coordinate bytes of one step along an axis.
uint8_t encodeStep(int32_t delta, uint8_t shortBit, uint8_t sameBit, SfntBuffer& out) {
  if (delta == 0) return sameBit;
  if (delta >= -255 && delta <= 255) {
    out.u8(uint32_t(delta < 0 ? -delta : delta));
    return uint8_t(shortBit | (delta > 0 ? sameBit : 0));
  }
  out.i16(delta);
  return 0;
}

// Runs of three or more equal flags are written once with REPEAT_FLAG and a count.
void writeFlags(const std::vector<uint8_t>& flags, SfntBuffer& out) {
  size_t i = 0;
  while (i < flags.size()) {
    size_t run = 1;
    while (i + run < flags.size() && flags[i + run] == flags[i] && run < 256) ++run;
    if (run >= 3) {
      out.u8(flags[i] | REPEAT_FLAG);
      out.u8(uint32_t(run - 1));
    } else {
      for (size_t k = 0; k < run; ++k) out.u8(flags[i]);
    }
    i += run;
  }
}

void writeHeader(const LaidOutGlyph& glyph, SfntBuffer& out) {
  out.i16(int32_t(glyph.contours.size()));
  out.i16(glyph.box.xMin);
  out.i16(glyph.box.yMin);
  out.i16(glyph.box.xMax);
  out.i16(glyph.box.yMax);
  size_t end = 0;
  for (const Contour& contour : glyph.contours) {
    end += contour.size();
    out.u16(uint32_t(end - 1));
  }
  out.u16(0);  // instructionLength
}

}  // namespace

std::vector<uint8_t> compileSimpleGlyph(const LaidOutGlyph& glyph) {
  if (!glyph.hasOutline()) return {};
  SfntBuffer out;
  writeHeader(glyph, out);
  std::vector<uint8_t> flags;
  flags.reserve(glyph.pointCount);
  SfntBuffer xs, ys;
  int32_t x = 0, y = 0;
  for (const Contour& contour : glyph.contours)
    for (const Point& point : contour) {
      uint8_t flag = point.onCurve ? ON_CURVE_POINT : 0;
      flag |= encodeStep(point.x - x, X_SHORT_VECTOR, X_IS_SAME_OR_POSITIVE_X_SHORT_VECTOR, xs);
      flag |= encodeStep(point.y - y, Y_SHORT_VECTOR, Y_IS_SAME_OR_POSITIVE_Y_SHORT_VECTOR, ys);
      flags.push_back(flag);
      x = point.x;
      y = point.y;
    }
  writeFlags(flags, out);
  out.bytes(xs.data());
  out.bytes(ys.data());
  return out.take();
}

GlyfAndLoca compileGlyf(const FontLayout& layout) {
  SfntBuffer glyf;
  std::vector<uint32_t> offsets;
  offsets.reserve(layout.glyphs.size() + 1);
  for (const LaidOutGlyph& glyph : layout.glyphs) {
    offsets.push_back(uint32_t(glyf.size()));
    glyf.bytes(compileSimpleGlyph(glyph));
    glyf.padTo(4);
  }
  offsets.push_back(uint32_t(glyf.size()));
  GlyfAndLoca result;
  // Short offsets store half the offset in 16 bits.
  result.longOffsets = glyf.size() / 2 > 0xFFFF;
  SfntBuffer loca;
  for (uint32_t offset : offsets) {
    if (result.longOffsets)
      loca.u32(offset);
    else
      loca.u16(offset / 2);
  }
  result.glyf = glyf.take();
  result.loca = loca.take();
  return result;
}

}  // namespace kernova::sfnt
