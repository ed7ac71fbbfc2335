#pragma once
// What goes into a font file for a document, before any table is written: the
// glyph order, each glyph's outline, advance and box, and the character map.
//
// Glyph order: 0 ".notdef" (a box with a hole), 1 the space (code 0x20; the
// document's advance when it set one, else 512), then every other glyph with
// contours or a set advance, in code order. Codes are mapped to Unicode through the
// document's code page. Only codes of the document's code order are written; that
// order holds one code per character (CodeOrder.h), so no two glyphs share one and a
// file read back and written again comes out the same.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kernova/engine/FontDocument.h"
#include "kernova/engine/FontInfo.h"
#include "common/Status.h"

namespace kernova::sfnt {

inline constexpr int32_t kSpaceAdvance = 512;
inline constexpr uint16_t kSpaceCode = 0x20;
// TrueType keeps glyph coordinates and the steps between them in 16 bits.
inline constexpr int32_t kMaxGlyfCoordinate = 32767;
inline constexpr int32_t kMinGlyfCoordinate = -32768;
// The format allows 65535 points, but FreeType, which reads the fonts back, holds at
// most 32767 per glyph, counting four phantom points and growing its storage in
// steps of eight: 32756 is the most it reads, and a saved font must open again.
inline constexpr size_t kMaxGlyphPoints = 32756;
inline constexpr size_t kMaxGlyphContours = 32767;

struct BoundingBox {
  int16_t xMin = 0;
  int16_t yMin = 0;
  int16_t xMax = 0;
  int16_t yMax = 0;
};

struct LaidOutGlyph {
  uint16_t code = 0;              // the document code; 0 for .notdef
  char32_t unicode = 0;           // 0 when unmapped (.notdef)
  std::vector<Contour> contours;  // no empty contours; every step fits 16 bits
  uint16_t advance = 0;
  BoundingBox box;  // all zero for a glyph without points
  size_t pointCount = 0;

  bool hasOutline() const { return !contours.empty(); }
};

struct CharacterMapping {
  uint16_t unicode = 0;
  uint16_t glyphId = 0;
};

struct FontLayout {
  FontType type = FontType::Latin;
  FontInfo info;                       // the family never empty
  std::vector<LaidOutGlyph> glyphs;    // in glyph id order
  std::vector<CharacterMapping> cmap;  // ascending Unicode, BMP only
  BoundingBox fontBox;                 // union of the glyph boxes
};

// Glyph 0, ".notdef" (a box with a hole, advance 1024): what the font shows for a
// character it lacks.
Glyph missingGlyph();

// Lays out a document. Glyphs beyond TrueType's limits (see checkTrueTypeLimits)
// are cut to fit: contours that overflow the limits dropped, coordinates pulled into
// +-16383.
FontLayout layoutFont(const FontDocument& document);

// Why an outline cannot be written as one TrueType glyph, as the rest of a sentence
// about the glyph ("has 40000 points; a TrueType glyph holds at most 32756"); empty
// when it can.
std::string outlineProblem(const std::vector<Contour>& contours);

// Whether every glyph that would be written fits TrueType's limits: at most 32756
// points and 32767 contours, coordinates and the steps between consecutive points
// within 16 bits. The failure names the first glyph's code and the limit.
Status checkTrueTypeLimits(const FontDocument& document);

}  // namespace kernova::sfnt
