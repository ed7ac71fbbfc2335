// Advances of replaced glyphs, and spacing every glyph of a document at once.
#include <gtest/gtest.h>

#include <algorithm>

#include "kernova/engine/FontDocument.h"
#include "tests/kernova/engine/BmpSamples.h"

using kernova::FontDocument;
using kernova::FontType;

namespace {

kernova::InkBitmap block(int left, int right) {
  kernova::InkBitmap canvas = samples::blank(512, 512);
  samples::fillRect(canvas, left, 300, right, 400);
  return canvas;
}

// The left and right x of a traced block.
std::pair<int32_t, int32_t> inkExtent(const kernova::Glyph& glyph) {
  const kernova::Contour& c = glyph.contours.at(0);
  auto [low, high] = std::minmax_element(c.begin(), c.end(), [](auto& a, auto& b) { return a.x < b.x; });
  return {low->x, high->x};
}

}  // namespace

// Sent with side bearings, then sent plain with wider ink (select all, delete,
// import): the glyph kept the old advance, 1407, with its ink reaching past it.
TEST(Spacing, AGlyphReplacedWithoutBearingsTakesTheNewGlyphAdvance) {
  FontDocument document(FontType::Latin, "Spacing");
  ASSERT_TRUE(document.importBitmap(block(100, 200)));
  ASSERT_TRUE(document.setSideBearings(20, 20));
  document.selectAll();
  document.deleteSelection();
  ASSERT_TRUE(document.importBitmap(block(50, 450)));
  const kernova::Glyph& glyph = *document.glyph(document.currentCode());
  EXPECT_EQ(glyph.advance, kernova::kDefaultAdvance);
  EXPECT_FALSE(glyph.advanceSet);
}

// Every drawn glyph gets the bearings in one undo step; a Japanese font's full-width
// glyphs keep theirs unless asked; bearings one glyph cannot take change nothing.
TEST(Spacing, SpaceAllGlyphsIsOneStepAndKeepsFullWidthUnlessAsked) {
  const std::tuple<FontType, bool, std::vector<uint16_t>, std::vector<uint16_t>> cases[] = {
      {FontType::Latin, false, {'A', 'g'}, {}},
      {FontType::Japanese, false, {'A', 0xB1}, {0x82A0}},
      {FontType::Japanese, true, {'A', 0xB1, 0x82A0}, {}}};
  for (const auto& [type, fullWidthToo, spaced, kept] : cases) {
    FontDocument document(type, "Spacing");
    int left = 60;
    for (const auto& codes : {spaced, kept})
      for (uint16_t code : codes) {
        document.setCurrentCode(code);
        ASSERT_TRUE(document.importBitmap(block(left += 30, 300)));
      }
    const auto before = document.glyphs();
    EXPECT_FALSE(document.spaceAllGlyphs(40000, 100, fullWidthToo));
    EXPECT_EQ(document.glyphs(), before);
    ASSERT_TRUE(document.spaceAllGlyphs(100, 60, fullWidthToo));
    for (uint16_t code : spaced) {
      const auto [inkLeft, inkRight] = inkExtent(*document.glyph(code));
      EXPECT_EQ(inkLeft, 100) << code;
      EXPECT_EQ(document.glyph(code)->advance, inkRight + 60) << code;
    }
    for (uint16_t code : kept) EXPECT_EQ(*document.glyph(code), before.at(code)) << code;
    const auto after = document.glyphs();
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.glyphs(), before);
    ASSERT_TRUE(document.redo());
    EXPECT_EQ(document.glyphs(), after);
  }
}
