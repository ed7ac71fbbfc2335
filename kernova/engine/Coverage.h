#pragma once
// How much of a font is drawn, by character set. A Latin document has the printable
// ASCII characters and the rest of CP1252; a Japanese document hiragana, katakana,
// half-width katakana, the kyoiku kanji (taught in grades 1 to 6), the joyo kanji
// (those of the official list that CP932 has: 2,132 of its 2,136), the kanji of JIS
// X 0208 level 1 and level 2, and the non-kanji symbols of the double-byte rows.
// The kanji grades come from a table generated at build time from KANJIDIC.
#include <cstdint>
#include <string>
#include <vector>

#include "kernova/engine/FontDocument.h"

namespace kernova {

struct CoverageSet {
  std::string name;             // UTF-8
  std::vector<uint16_t> codes;  // ascending; all in the type's code order
};

struct CoverageCount {
  std::string name;
  int drawn = 0;
  int total = 0;
};

// The sets of a document type, in the order they are listed; built once, then shared.
const std::vector<CoverageSet>& coverageSets(FontType type);

// Drawn (a glyph with contours) and total codes of each set of the document's type.
std::vector<CoverageCount> coverage(const FontDocument& document);

// The set's codes whose glyph is empty, ascending.
std::vector<uint16_t> missingCodes(const FontDocument& document, const CoverageSet& set);

}  // namespace kernova
