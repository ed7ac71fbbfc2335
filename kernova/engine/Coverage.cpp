#include "kernova/engine/Coverage.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "common/codepage/CodePage.h"

namespace kernova {
namespace {

#include "kernova/engine/KanjiGrades.inc"

using codepage::CodePage;
using Test = std::function<bool(uint16_t code, char32_t ch)>;

// The JIS X 0208 row (1..94) of a double-byte Shift-JIS code; 0 for a single byte.
int jisRow(uint16_t code) {
  if (code <= 0xFF) return 0;
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  return (lead <= 0x9F ? lead - 0x81 : lead - 0xC1) * 2 + (trail >= 0x9F ? 2 : 1);
}

template <size_t N>
bool listed(const char16_t (&table)[N], char32_t ch) {
  return ch <= 0xFFFF && std::binary_search(std::begin(table), std::end(table), char16_t(ch));
}

bool inBlock(char32_t ch, char32_t first, char32_t last) { return ch >= first && ch <= last; }

bool isKana(char32_t ch) {
  return inBlock(ch, 0x3041, 0x30FF) || inBlock(ch, 0xFF61, 0xFF9F);
}

CoverageSet collect(const CodeOrder& order, CodePage page, std::string name, const Test& belongs) {
  CoverageSet set{std::move(name), {}};
  for (uint16_t code : order.codes()) {
    const std::optional<char32_t> ch = codepage::toUnicode(page, code);
    if (ch && belongs(code, *ch)) set.codes.push_back(code);
  }
  return set;
}

std::vector<CoverageSet> latinSets() {
  const CodeOrder& order = CodeOrder::forType(FontType::Latin);
  const auto ascii = [](uint16_t code, char32_t) { return code >= 0x20 && code <= 0x7E; };
  return {collect(order, CodePage::Cp1252, "ASCII printable", ascii),
          collect(order, CodePage::Cp1252, "CP1252 beyond ASCII",
                  [&](uint16_t code, char32_t ch) { return !ascii(code, ch); })};
}

// Levels 1 and 2 are rows 16-47 and 48-84; the rows up to 13 hold the non-kanji
// characters (13 is NEC's row of symbols).
std::vector<CoverageSet> japaneseSets() {
  const CodeOrder& order = CodeOrder::forType(FontType::Japanese);
  const auto set = [&](std::string name, const Test& belongs) {
    return collect(order, CodePage::Cp932, std::move(name), belongs);
  };
  return {
      set("Hiragana", [](uint16_t, char32_t ch) { return inBlock(ch, 0x3041, 0x309F); }),
      set("Katakana", [](uint16_t, char32_t ch) { return inBlock(ch, 0x30A0, 0x30FF); }),
      set("Half-width katakana", [](uint16_t, char32_t ch) { return inBlock(ch, 0xFF61, 0xFF9F); }),
      set("Kyōiku kanji", [](uint16_t, char32_t ch) { return listed(kKyoikuKanji, ch); }),
      set("Jōyō kanji",
          [](uint16_t, char32_t ch) { return listed(kKyoikuKanji, ch) || listed(kOtherJoyoKanji, ch); }),
      set("JIS X 0208 level 1", [](uint16_t code, char32_t) { return jisRow(code) >= 16 && jisRow(code) <= 47; }),
      set("JIS X 0208 level 2", [](uint16_t code, char32_t) { return jisRow(code) >= 48 && jisRow(code) <= 84; }),
      set("Non-kanji symbols",
          [](uint16_t code, char32_t ch) { return jisRow(code) >= 1 && jisRow(code) <= 13 && !isKana(ch); }),
  };
}

bool drawn(const FontDocument& document, uint16_t code) {
  const Glyph* glyph = document.glyph(code);
  return glyph && !glyph->empty();
}

}  // namespace

const std::vector<CoverageSet>& coverageSets(FontType type) {
  static const std::vector<CoverageSet> latin = latinSets();
  static const std::vector<CoverageSet> japanese = japaneseSets();
  return type == FontType::Latin ? latin : japanese;
}

// Walks the drawn glyphs, not the sets: a new font has few of them. One walk for all
// sets: the window counts again after every batch of a whole font's rebuild.
std::vector<CoverageCount> coverage(const FontDocument& document) {
  const std::vector<CoverageSet>& sets = coverageSets(document.type());
  std::vector<CoverageCount> counts;
  for (const CoverageSet& set : sets) counts.push_back({set.name, 0, int(set.codes.size())});
  for (const auto& [code, glyph] : document.glyphs()) {
    if (glyph.empty()) continue;
    for (size_t i = 0; i < sets.size(); ++i)
      if (std::binary_search(sets[i].codes.begin(), sets[i].codes.end(), code)) ++counts[i].drawn;
  }
  return counts;
}

std::vector<uint16_t> missingCodes(const FontDocument& document, const CoverageSet& set) {
  std::vector<uint16_t> missing;
  for (uint16_t code : set.codes) {
    if (!drawn(document, code)) missing.push_back(code);
  }
  return missing;
}

}  // namespace kernova
