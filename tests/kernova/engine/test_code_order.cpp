// Code orders, moving through them in a document, and the coverage sets over them.
#include "kernova/engine/CodeOrder.h"
#include "kernova/engine/Coverage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace kernova;

namespace {

int totalOf(FontType type, const std::string& name) {
  for (const CoverageSet& set : coverageSets(type))
    if (set.name == name) return int(set.codes.size());
  return -1;
}

}  // namespace

// JIS X 0208 (6879), NEC row 13 (83 less 9 that JIS X 0208 has) and the IBM extensions
// (388 less 15 that the others have); the NEC-selected IBM extensions repeat them all.
// 0x82 is a lead byte alone; 0x7F is never a trail byte; 0xF040..0xF9FC is user-defined.
// Regression: 0xED40, 0xFA4A and 0x8790 repeat the characters of 0xFA5C, 0x8754 and
// 0x81E0, and a glyph drawn there was silently left out of the font.
TEST(JapaneseCodeOrder, HoldsSingleBytesAndMappedPairsButNotTheUserDefinedArea) {
  const CodeOrder& japanese = CodeOrder::forType(FontType::Japanese);
  const auto& codes = japanese.codes();
  size_t singles = std::count_if(codes.begin(), codes.end(), [](uint16_t c) { return c <= 0xFF; });
  EXPECT_EQ(std::pair(singles, codes.size() - singles), std::pair(size_t(95 + 63), size_t(7326)));
  EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end(), std::greater_equal<>()), codes.end());
  for (uint16_t code : {0x20, 0xA1, 0xDF, 0x82A0, 0x8140, 0xFA5C, 0x8754, 0x81E0, 0xFC4B})
    EXPECT_TRUE(japanese.contains(code)) << std::hex << code;
  for (uint16_t code : {0x80, 0xA0, 0x82, 0x817F, 0xF040, 0xF5A0, 0xF9FC, 0xED40, 0xFA4A, 0x8790})
    EXPECT_FALSE(japanese.contains(code)) << std::hex << code;
}

// A document starts at its type's first letter and steps over the order's holes, staying
// put at its ends, without changing the font; codes outside the order are refused.
TEST(CodeOrder, DocumentsStepOverHolesStayPutAtTheEndsAndRefuseOtherCodes) {
  const std::tuple<FontType, uint16_t, uint16_t, uint16_t> steps[] = {
      {FontType::Latin, 0x7E, 0x80, 0x7D},          {FontType::Latin, 0x80, 0x82, 0x7E},
      {FontType::Latin, 0xFF, 0xFF, 0xFE},          {FontType::Latin, 0x20, 0x21, 0x20},
      {FontType::Japanese, 0x82A0, 0x82A1, 0x829F}, {FontType::Japanese, 0xEAA4, 0xFA40, 0xEAA3},
      {FontType::Japanese, 0x878F, 0x8793, 0x878E}, {FontType::Japanese, 0xFA49, 0xFA55, 0xFA48},
      {FontType::Japanese, 0xFC4B, 0xFC4B, 0xFC4A}, {FontType::Japanese, 0x20, 0x21, 0x20},
  };
  for (const auto& [type, from, next, previous] : steps) {
    FontDocument document(type, "Codes");
    ASSERT_TRUE(document.setCurrentCode(from));
    document.viewNextCode();
    EXPECT_EQ(document.currentCode(), next) << std::hex << from;
    ASSERT_TRUE(document.setCurrentCode(from));
    document.viewPreviousCode();
    EXPECT_EQ(document.currentCode(), previous) << std::hex << from;
    EXPECT_FALSE(document.modified());
  }
  FontDocument latin(FontType::Latin, "Latin"), kana(FontType::Japanese, "Japanese");
  EXPECT_FALSE(kana.setCurrentCode(0xF040));
  EXPECT_FALSE(latin.setCurrentCode(0x82A0));
  EXPECT_EQ(std::pair(kana.currentCode(), latin.currentCode()), std::pair(uint16_t(0x82A0), uint16_t('A')));
  EXPECT_EQ(std::pair(latin.codeOrder().indexOf(0x80), latin.codeOrder().indexOf(0x7F)), std::pair(95, -1));
}

// Coverage totals are facts of the code pages and of the kanji lists, so a fault in the
// generated grade table or in a set's test shows as a wrong total.
TEST(Coverage, SetTotalsAreThoseOfTheCodePagesAndKanjiLists) {
  const std::tuple<FontType, std::string, int> rows[] = {
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
  for (const auto& [type, name, total] : rows) EXPECT_EQ(totalOf(type, name), total) << name;
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
}

