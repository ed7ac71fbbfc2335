// OS/2 version 4: weights, line metrics, and which scripts and code pages the font
// covers.
#include <algorithm>
#include <array>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

// ulCodePageRange1 bits.
constexpr uint32_t kCodePageLatin1 = 1u << 0;  // CP1252
constexpr uint32_t kCodePageJis = 1u << 17;    // CP932

struct UnicodeBlock {
  char32_t first;
  char32_t last;
  int bit;  // ulUnicodeRange bit, 0..127
};

// The blocks that CP1252 and CP932 reach, with their ulUnicodeRange bits.
constexpr std::array<UnicodeBlock, 33> kUnicodeBlocks = {{
    {0x0000, 0x007F, 0},  {0x0080, 0x00FF, 1},  {0x0100, 0x017F, 2},  {0x0180, 0x024F, 3},
    {0x0250, 0x02AF, 4},  {0x02B0, 0x02FF, 5},  {0x0300, 0x036F, 6},  {0x0370, 0x03FF, 7},
    {0x0400, 0x04FF, 9},  {0x1E00, 0x1EFF, 29}, {0x2000, 0x206F, 31}, {0x2070, 0x209F, 32},
    {0x20A0, 0x20CF, 33}, {0x2100, 0x214F, 35}, {0x2150, 0x218F, 36}, {0x2190, 0x21FF, 37},
    {0x2200, 0x22FF, 38}, {0x2300, 0x23FF, 39}, {0x2460, 0x24FF, 42}, {0x2500, 0x257F, 43},
    {0x2580, 0x259F, 44}, {0x25A0, 0x25FF, 45}, {0x2600, 0x26FF, 46}, {0x3000, 0x303F, 48},
    {0x3040, 0x309F, 49}, {0x30A0, 0x30FF, 50}, {0x3200, 0x32FF, 54}, {0x3300, 0x33FF, 55},
    {0x4E00, 0x9FFF, 59}, {0xE000, 0xF8FF, 60}, {0xF900, 0xFAFF, 61}, {0xFE30, 0xFE4F, 65},
    {0xFF00, 0xFFEF, 68},
}};

std::array<uint32_t, 4> unicodeRanges(const FontLayout& layout) {
  std::array<uint32_t, 4> ranges{};
  for (const CharacterMapping& mapping : layout.cmap)
    for (const UnicodeBlock& block : kUnicodeBlocks)
      if (mapping.unicode >= block.first && mapping.unicode <= block.last)
        ranges[size_t(block.bit / 32)] |= 1u << (block.bit % 32);
  return ranges;
}

// The average advance of the glyphs whose advance is not zero.
int16_t averageCharWidth(const FontLayout& layout) {
  int64_t sum = 0, count = 0;
  for (const LaidOutGlyph& glyph : layout.glyphs)
    if (glyph.advance != 0) {
      sum += glyph.advance;
      ++count;
    }
  return int16_t(count == 0 ? 0 : (sum + count / 2) / count);
}

// The top of the outline drawn for a character, 0 when the font has none.
int16_t heightOf(const FontLayout& layout, char32_t unicode) {
  for (const LaidOutGlyph& glyph : layout.glyphs)
    if (glyph.unicode == unicode && glyph.hasOutline()) return glyph.box.yMax;
  return 0;
}

void writeScriptMetrics(SfntBuffer& out) {
  out.i16(1331);                           // ySubscriptXSize, 0.65 em
  out.i16(1229);                           // ySubscriptYSize, 0.6 em
  out.i16(0);                              // ySubscriptXOffset
  out.i16(154);                            // ySubscriptYOffset
  out.i16(1331);                           // ySuperscriptXSize
  out.i16(1229);                           // ySuperscriptYSize
  out.i16(0);                              // ySuperscriptXOffset
  out.i16(717);                            // ySuperscriptYOffset
  out.i16(102);                            // yStrikeoutSize
  out.i16(530);                            // yStrikeoutPosition
  out.i16(0);                              // sFamilyClass
  for (int i = 0; i < 10; ++i) out.u8(0);  // panose: any
}

}  // namespace

std::vector<uint8_t> compileOs2(const FontLayout& layout) {
  SfntBuffer out;
  out.u16(4);  // version
  out.i16(averageCharWidth(layout));
  out.u16(400);  // usWeightClass normal
  out.u16(5);    // usWidthClass medium
  out.u16(0);    // fsType: installable embedding
  writeScriptMetrics(out);
  for (uint32_t range : unicodeRanges(layout)) out.u32(range);
  out.tag("NONE");           // achVendID
  out.u16(0x0040 | 0x0080);  // fsSelection REGULAR, USE_TYPO_METRICS
  // The space is always mapped, so the map is never empty.
  out.u16(layout.cmap.empty() ? 0 : layout.cmap.front().unicode);  // usFirstCharIndex
  out.u16(layout.cmap.empty() ? 0 : layout.cmap.back().unicode);   // usLastCharIndex
  out.i16(kAscender);                                              // sTypoAscender
  out.i16(kDescender);                                             // sTypoDescender
  out.i16(0);                                                      // sTypoLineGap
  // Windows clips what lies outside the win metrics, so they cover every outline.
  out.u16(uint32_t(std::max<int32_t>(kAscender, layout.fontBox.yMax)));     // usWinAscent
  out.u16(uint32_t(std::max<int32_t>(-kDescender, -layout.fontBox.yMin)));  // usWinDescent
  uint32_t codePages = kCodePageLatin1 | (layout.type == FontType::Japanese ? kCodePageJis : 0);
  out.u32(codePages);               // ulCodePageRange1
  out.u32(0);                       // ulCodePageRange2
  out.i16(heightOf(layout, U'x'));  // sxHeight
  out.i16(heightOf(layout, U'H'));  // sCapHeight
  out.u16(0);                       // usDefaultChar
  out.u16(0x20);                    // usBreakChar
  out.u16(0);                       // usMaxContext: no layout tables
  return out.take();
}

}  // namespace kernova::sfnt
