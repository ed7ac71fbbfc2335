// Coverage sets: their totals are facts of the code pages and of the kanji lists, so a
// fault in the generated grade table or in a set's test shows as a wrong total.
#include "kernova/engine/Coverage.h"

#include <gtest/gtest.h>

namespace kernova {
namespace {

int totalOf(FontType type, const std::string& name) {
  for (const CoverageSet& set : coverageSets(type))
    if (set.name == name) return int(set.codes.size());
  return -1;
}

TEST(Coverage, SetTotalsAreThoseOfTheCodePagesAndKanjiLists) {
  const struct {
    FontType type;
    const char* name;
    int total;
  } rows[] = {
      {FontType::Latin, "ASCII printable", 95},
      {FontType::Latin, "CP1252 beyond ASCII", 123},  // 0x80..0xFF less five undefined
      {FontType::Japanese, "Hiragana", 83 + 4},     // ぁ..ん and ゛゜ゝゞ
      {FontType::Japanese, "Katakana", 86 + 4},     // ァ..ヶ and ・ーヽヾ
      {FontType::Japanese, "Half-width katakana", 63},
      {FontType::Japanese, "Kyōiku kanji", 1026},
      {FontType::Japanese, "Jōyō kanji", 2132},  // of 2,136: 𠮟塡剝頰 are not in CP932
      {FontType::Japanese, "JIS X 0208 level 1", 2965},
      {FontType::Japanese, "JIS X 0208 level 2", 3390},
  };
  for (const auto& row : rows) EXPECT_EQ(totalOf(row.type, row.name), row.total) << row.name;
  EXPECT_GT(totalOf(FontType::Japanese, "Non-kanji symbols"), 300);
}

// あ is hiragana; 一 is taught in grade 1 and is in level 1; 亞 is in level 2 only.
TEST(Coverage, CountsDrawnGlyphsOfEachSetAndListsTheMissingOnes) {
  FontDocument document(FontType::Japanese, "t");
  const Contour square{{0, 0}, {0, 100}, {100, 100}, {100, 0}};
  for (uint16_t code : {0x82A0, 0x88EA, 0x98A0}) document.glyphForEdit(code).contours.push_back(square);
  document.glyphForEdit(0x82A2);  // present but empty: not drawn
  std::map<std::string, int> drawn;
  for (const CoverageCount& count : coverage(document)) drawn[count.name] = count.drawn;
  EXPECT_EQ(drawn, (std::map<std::string, int>{{"Hiragana", 1}, {"Katakana", 0}, {"Half-width katakana", 0},
                                               {"Kyōiku kanji", 1}, {"Jōyō kanji", 1},
                                               {"JIS X 0208 level 1", 1}, {"JIS X 0208 level 2", 1},
                                               {"Non-kanji symbols", 0}}));
  const CoverageSet& hiragana = coverageSets(FontType::Japanese).front();
  const std::vector<uint16_t> missing = missingCodes(document, hiragana);
  EXPECT_EQ(missing.size(), hiragana.codes.size() - 1);
  EXPECT_EQ(std::count(missing.begin(), missing.end(), 0x82A0), 0);
  EXPECT_EQ(std::count(missing.begin(), missing.end(), 0x82A2), 1);
}

}  // namespace
}  // namespace kernova
