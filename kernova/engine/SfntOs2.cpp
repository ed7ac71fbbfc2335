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

// fsSelection bits.
constexpr uint16_t kRegular = 0x0040;
constexpr uint16_t kUseTypoMetrics = 0x0080;

struct Os2Table {
  UInt16 version = 4;
  FWord xAvgCharWidth;
  UInt16 usWeightClass = 400;  // normal
  UInt16 usWidthClass = 5;     // medium
  UInt16 fsType = 0;           // installable embedding
  FWord ySubscriptXSize = 1331;  // 0.65 em
  FWord ySubscriptYSize = 1229;  // 0.6 em
  FWord ySubscriptXOffset = 0;
  FWord ySubscriptYOffset = 154;
  FWord ySuperscriptXSize = 1331;
  FWord ySuperscriptYSize = 1229;
  FWord ySuperscriptXOffset = 0;
  FWord ySuperscriptYOffset = 717;
  FWord yStrikeoutSize = 102;
  FWord yStrikeoutPosition = 530;
  Int16 sFamilyClass = 0;
  UInt8 panose[10] = {};  // any
  UInt32 ulUnicodeRange1;
  UInt32 ulUnicodeRange2;
  UInt32 ulUnicodeRange3;
  UInt32 ulUnicodeRange4;
  Tag achVendID = makeTag("NONE");
  UInt16 fsSelection = kRegular | kUseTypoMetrics;
  UInt16 usFirstCharIndex;
  UInt16 usLastCharIndex;
  FWord sTypoAscender = kAscender;
  FWord sTypoDescender = kDescender;
  FWord sTypoLineGap = 0;
  UFWord usWinAscent;
  UFWord usWinDescent;
  UInt32 ulCodePageRange1;
  UInt32 ulCodePageRange2 = 0;
  FWord sxHeight;
  FWord sCapHeight;
  UInt16 usDefaultChar = 0;
  UInt16 usBreakChar = 0x20;
  UInt16 usMaxContext = 0;  // no layout tables
};
static_assert(sizeof(Os2Table) == 96);

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

}  // namespace

std::vector<uint8_t> compileOs2(const FontLayout& layout) {
  Os2Table os2;
  os2.xAvgCharWidth = averageCharWidth(layout);
  const std::array<uint32_t, 4> ranges = unicodeRanges(layout);
  os2.ulUnicodeRange1 = ranges[0];
  os2.ulUnicodeRange2 = ranges[1];
  os2.ulUnicodeRange3 = ranges[2];
  os2.ulUnicodeRange4 = ranges[3];
  // The space is always mapped, so the map is never empty.
  os2.usFirstCharIndex = layout.cmap.empty() ? 0 : layout.cmap.front().unicode;
  os2.usLastCharIndex = layout.cmap.empty() ? 0 : layout.cmap.back().unicode;
  // Windows clips what lies outside the win metrics, so they cover every outline.
  os2.usWinAscent = uint16_t(std::max<int32_t>(kAscender, layout.fontBox.yMax));
  os2.usWinDescent = uint16_t(std::max<int32_t>(-kDescender, -layout.fontBox.yMin));
  os2.ulCodePageRange1 =
      kCodePageLatin1 | (layout.type == FontType::Japanese ? kCodePageJis : 0);
  os2.sxHeight = heightOf(layout, U'x');
  os2.sCapHeight = heightOf(layout, U'H');
  SfntBuffer out;
  out.record(os2);
  return out.take();
}

}  // namespace kernova::sfnt
