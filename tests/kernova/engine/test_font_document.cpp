#include "kernova/engine/FontDocument.h"

#include <gtest/gtest.h>

#include "BmpSamples.h"
#include "test_truetype_support.h"

using namespace kernova;

namespace {

Glyph twoSquares() {  // x 100..350
  return Glyph{{{{100, 0}, {100, 50}, {150, 50}, {150, 0}}, {{300, 0}, {300, 50}, {350, 50}, {350, 0}}}};
}

// A Latin document whose 'A' and 'B' hold two squares, not marked modified.
FontDocument latinWithTwoGlyphs() {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph('A', twoSquares());
  doc.setGlyph('B', twoSquares());
  doc.setModified(false);
  return doc;
}

}  // namespace

// Moving between codes is not a change of the font; a code outside the order is ignored.
TEST(FontDocumentCodes, StartAtTheirTypesCodeAndIgnoreCodesOutsideTheOrder) {
  FontDocument latin(FontType::Latin, "Latin"), japanese(FontType::Japanese, "Japanese");
  EXPECT_EQ(japanese.currentCode(), 0x82A0);
  EXPECT_FALSE(japanese.setCurrentCode(0xF040));
  EXPECT_EQ(japanese.currentCode(), 0x82A0);
  EXPECT_EQ(latin.currentCode(), 'A');
  EXPECT_FALSE(latin.setCurrentCode(0x82A0));
  latin.viewNextCode();
  EXPECT_EQ(latin.currentCode(), 'B');
  latin.viewPreviousCode();
  latin.viewPreviousCode();
  EXPECT_EQ(latin.currentCode(), '@');
  EXPECT_FALSE(latin.modified() || japanese.modified());
}

TEST(FontDocumentSelection, DeleteRemovesTheSelectionOfTheCurrentGlyphOnly) {
  FontDocument doc = latinWithTwoGlyphs();
  doc.selectAll();
  doc.unselectAll();
  doc.deleteSelection();
  doc.selectAll();
  doc.viewNextCode();  // moving to another code drops the selection
  doc.deleteSelection();
  EXPECT_EQ(doc.glyphs(), latinWithTwoGlyphs().glyphs());
  EXPECT_FALSE(doc.modified());
  doc.selectAll();
  EXPECT_EQ(doc.selection().size(), 2u);
  doc.deleteSelection();
  EXPECT_TRUE(doc.selection().empty());
  EXPECT_TRUE(doc.glyph('B') == nullptr || doc.glyph('B')->empty());
  EXPECT_EQ(*doc.glyph('A'), twoSquares());
  EXPECT_TRUE(doc.modified());
  doc.selectAll();
  EXPECT_TRUE(doc.selection().empty());
}

TEST(FontDocumentSideBearings, ShiftTheInkIncludingOffCurvePointsAndSetTheAdvance) {
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.setSideBearings(20, 30));
  EXPECT_EQ(doc.glyph('A')->contours[1][2], (Point{270, 50}));
  EXPECT_EQ(*doc.glyph('A'), (Glyph{doc.glyph('A')->contours, 250 + 20 + 30, true}));
  doc.setGlyph('A', Glyph{{{{100, 0}, {50, 100, false}, {100, 200}, {200, 100}}}});
  ASSERT_TRUE(doc.setSideBearings(0, 0));
  EXPECT_EQ(doc.glyph('A')->contours[0][1].x, 0);
  EXPECT_EQ(doc.glyph('A')->advance, 150);
}

// The advance must fit 0..65535 and the coordinates -32768..32767; the ink is 250 wide.
TEST(FontDocumentSideBearings, EmptyGlyphOrBearingsOutOfRangeChangeNothing) {
  const struct {
    int left, right;
    bool ok;
  } cases[] = {{-125, -125, true},  {-125, -126, false}, {0, 65285, true}, {0, 65286, false},
               {32517, 0, true},    {32518, 0, false},   {-32768, 32518, true}, {-32769, 32519, false}};
  for (const auto& c : cases) {
    FontDocument doc = latinWithTwoGlyphs();
    Status status = doc.setSideBearings(c.left, c.right);
    EXPECT_EQ(status.ok(), c.ok) << c.left << ", " << c.right;
    EXPECT_EQ(doc.modified(), c.ok);
    if (!c.ok) {
      EXPECT_EQ(*doc.glyph('A'), twoSquares());
    }
  }
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.setCurrentCode('C'));
  ASSERT_TRUE(doc.setSideBearings(10, 10));
  EXPECT_EQ(doc.glyph('C'), nullptr);
}

// Reading and tracing are the BMP and tracer tests'; a failed import as a client sees
// it is the bus test's.
TEST(FontDocumentImport, TracedBitmapIsAddedToTheCurrentGlyphNotPutInItsPlace) {
  tt::TempDir dir;
  kernova::InkBitmap canvas = samples::blank(512, 512);
  samples::fillRect(canvas, 100, 400, 149, 441);
  tt::writeFile(dir.file("glyph.bmp"), samples::encodeBmp(canvas, {}));
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.importBitmap(dir.file("glyph.bmp")));
  EXPECT_EQ(doc.glyph('A')->contours.size(), 3u);
  EXPECT_TRUE(doc.modified());
  EXPECT_NE(doc.importBitmap(dir.file("absent.bmp")).message().find("absent.bmp"), std::string::npos);
  EXPECT_EQ(doc.glyph('A')->contours.size(), 3u);
}
