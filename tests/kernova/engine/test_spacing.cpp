// Advances of replaced glyphs, and spacing every glyph of a document at once.
#include <gtest/gtest.h>

#include <algorithm>

#include "kernova/engine/FontDocument.h"
#include "tests/kernova/engine/BmpSamples.h"

using kernova::FontDocument;
using kernova::FontType;
using kernova::Glyph;

namespace {

kernova::InkBitmap block(int left, int right) {
  kernova::InkBitmap canvas = samples::blank(512, 512);
  samples::fillRect(canvas, left, 300, right, 400);
  return canvas;
}

std::pair<int, int> inkExtent(const Glyph& glyph) {
  int minX = INT32_MAX, maxX = INT32_MIN;
  for (const auto& contour : glyph.contours)
    for (const auto& point : contour) minX = std::min(minX, point.x), maxX = std::max(maxX, point.x);
  return {minX, maxX};
}

}  // namespace

// Sent with side bearings, then sent plain with wider ink (select all, delete,
// import): the glyph once kept the old advance, leaving its ink beyond it.
TEST(Spacing, AGlyphReplacedWithoutBearingsTakesTheNewGlyphAdvance) {
  FontDocument document(FontType::Latin, "Spacing");
  ASSERT_TRUE(document.importBitmap(block(100, 200)));
  ASSERT_TRUE(document.setSideBearings(20, 20));
  document.selectAll();
  document.deleteSelection();
  ASSERT_TRUE(document.importBitmap(block(50, 450)));
  const Glyph& glyph = *document.glyph(document.currentCode());
  EXPECT_EQ(glyph.advance, kernova::kDefaultAdvance);
  EXPECT_FALSE(glyph.advanceSet);
  EXPECT_GE(glyph.advance, inkExtent(glyph).second);
}

// Every drawn glyph gets the bearings in one undo step; a Japanese font's full-width
// glyphs keep theirs unless asked; bearings one glyph cannot take change nothing.
TEST(Spacing, SpaceAllGlyphsIsOneStepAndKeepsFullWidthUnlessAsked) {
  struct Case {
    FontType type;
    bool fullWidthToo;
    std::vector<uint16_t> spaced, kept;
  };
  const Case cases[] = {{FontType::Latin, false, {'A', 'g'}, {}},
                        {FontType::Japanese, false, {'A', 0xB1}, {0x82A0}},
                        {FontType::Japanese, true, {'A', 0xB1, 0x82A0}, {}}};
  for (const Case& c : cases) {
    FontDocument document(c.type, "Spacing");
    std::vector<uint16_t> codes = c.spaced;
    codes.insert(codes.end(), c.kept.begin(), c.kept.end());
    for (size_t i = 0; i < codes.size(); ++i) {
      document.setCurrentCode(codes[i]);
      ASSERT_TRUE(document.importBitmap(block(60 + 30 * int(i), 300)));
    }
    const auto before = document.glyphs();
    EXPECT_FALSE(document.spaceAllGlyphs(40000, 100, c.fullWidthToo));
    EXPECT_EQ(document.glyphs(), before);
    ASSERT_TRUE(document.spaceAllGlyphs(100, 60, c.fullWidthToo));
    for (uint16_t code : c.spaced) {
      const auto [minX, maxX] = inkExtent(*document.glyph(code));
      EXPECT_EQ(minX, 100) << code;
      EXPECT_EQ(document.glyph(code)->advance, maxX + 60) << code;
    }
    for (uint16_t code : c.kept) EXPECT_EQ(*document.glyph(code), before.at(code)) << code;
    const auto spaced = document.glyphs();
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.glyphs(), before);
    ASSERT_TRUE(document.redo());
    EXPECT_EQ(document.glyphs(), spaced);
  }
}
