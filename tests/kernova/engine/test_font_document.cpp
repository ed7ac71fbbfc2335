#include "kernova/engine/FontDocument.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/kernova/engine/BmpSamples.h"

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

// The glyph export's form: a 512 x 512 canvas with a block from x `left` to `right` on the
// guide line, which traces to one contour.
InkBitmap block(int left = 100, int right = 149) {
  InkBitmap canvas = samples::blank(512, 512);
  samples::fillRect(canvas, left, 300, right, 441);
  return canvas;
}

}  // namespace

// Unselecting and moving to another code drop the selection: deleting then changes nothing.
TEST(FontDocumentSelection, IsDroppedByUnselectingAndByMovingToAnotherCode) {
  FontDocument doc = latinWithTwoGlyphs();
  doc.selectAll();
  doc.unselectAll();
  doc.deleteSelection();
  doc.selectAll();
  doc.viewNextCode();
  doc.deleteSelection();
  EXPECT_EQ(doc.glyphs(), latinWithTwoGlyphs().glyphs());
  EXPECT_FALSE(doc.modified());
}

// Off-curve points move with the ink. The advance must fit 0..65535 and the
// coordinates -32768..32767; the ink is 250 wide. An empty glyph is left alone.
TEST(FontDocumentSideBearings, ShiftTheInkAndSetTheAdvanceWithinRange) {
  FontDocument doc = latinWithTwoGlyphs();
  doc.setGlyph('A', Glyph{{{{100, 0}, {50, 100, false}, {100, 200}, {200, 100}}}});
  ASSERT_TRUE(doc.setSideBearings(20, 30));
  EXPECT_EQ(*doc.glyph('A'), (Glyph{{{{70, 0}, {20, 100, false}, {70, 200}, {170, 100}}}, 150 + 20 + 30, true}));
  const std::tuple<int, int, bool> cases[] = {{-125, -125, true}, {-125, -126, false}, {0, 65285, true},
                                              {0, 65286, false},   {32517, 0, true},     {32518, 0, false},
                                              {-32768, 32518, true}, {-32769, 32519, false}};
  for (const auto& [left, right, ok] : cases) {
    FontDocument doc = latinWithTwoGlyphs();
    EXPECT_EQ(doc.setSideBearings(left, right).ok(), ok) << left << ", " << right;
    EXPECT_EQ(doc.modified(), ok);
    EXPECT_EQ(*doc.glyph('A') == twoSquares(), !ok);
  }
  ASSERT_TRUE(doc.setCurrentCode('C'));
  ASSERT_TRUE(doc.setSideBearings(10, 10));
  EXPECT_EQ(doc.glyph('C'), nullptr);
}

// An import adds the traced canvas to the current glyph; ink in a glyph emptied after its
// side bearings were set takes the default advance again (regression: it kept the old
// one). Regression: a 2 x 2 checkerboard traced to some 131,000 points and every save then
// failed; half a canvas of it exceeds a glyph's points. A refused bitmap leaves the glyph.
TEST(FontDocumentImport, ImportAddsTheTracedCanvasOrIsRefusedLeavingTheGlyphAlone) {
  FontDocument doc(FontType::Japanese, "Japanese");
  ASSERT_TRUE(doc.importBitmap(block()));
  ASSERT_TRUE(doc.importBitmap(block()));
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(doc.glyph(0x82A0)->contours.size(), 2u);
  ASSERT_TRUE(doc.setSideBearings(20, 20));
  doc.selectAll();
  doc.deleteSelection();
  ASSERT_TRUE(doc.importBitmap(block(50, 450)));
  EXPECT_EQ(std::pair(doc.glyph(0x82A0)->advance, doc.glyph(0x82A0)->advanceSet), std::pair(kDefaultAdvance, false));
  InkBitmap checkerboard = samples::blank(512, 512);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 512; ++x)
      if ((x / 2 + y / 2) % 2 == 0) samples::set(checkerboard, x, y);
  const std::pair<InkBitmap, std::string> cases[] = {
      {{10, 10, std::vector<uint8_t>(99, 0)}, "size"}, {checkerboard, "points; a TrueType glyph holds at most"}};
  for (const auto& [bitmap, expected] : cases) {
    FontDocument doc = latinWithTwoGlyphs();
    EXPECT_NE(doc.importBitmap(bitmap).message().find(expected), std::string::npos);
    EXPECT_EQ(*doc.glyph(0x41), twoSquares());
    EXPECT_FALSE(doc.modified());
  }
}

namespace {

// The lettering tool's glyph transfer: select, delete, import, unselect, side bearings.
void transfer(FontDocument& doc, uint16_t code) {
  ASSERT_TRUE(doc.setCurrentCode(code));
  doc.selectAll();
  doc.deleteSelection();
  ASSERT_TRUE(doc.importBitmap(block()));
  doc.unselectAll();
  ASSERT_TRUE(doc.setSideBearings(10, 20));
}

}  // namespace

// Each row edits a saved document with two glyphs; undoing `steps` times must bring back
// the saved glyphs exactly, unmodified (unless the saved state is out of reach), one more
// undo must find nothing, and redoing all must give the edited glyphs again. At most 100
// steps are kept; a document recovered from a copy differs from its file.
TEST(FontDocumentUndo, EachStepUndoesAndRedoesWholeAndTheSavedStateIsUnmodified) {
  auto bearings = [](int n) { return [n](FontDocument& d) { for (int i = 0; i < n; ++i) d.setSideBearings(i, 0); }; };
  const std::vector<std::tuple<const char*, std::function<void(FontDocument&)>, int, bool>> cases = {
      {"transfers of two codes", [](FontDocument& d) { transfer(d, 0x41), transfer(d, 0x43); }, 2, true},
      {"a transfer repeated on one code", [](FontDocument& d) { transfer(d, 0x42), transfer(d, 0x42); }, 2, true},
      {"spacing every glyph", [](FontDocument& d) { d.spaceAllGlyphs(100, 60, false); }, 1, true},
      {"two imports in a row", [](FontDocument& d) { d.importBitmap(block()), d.importBitmap(block()); }, 2, true},
      {"100 side bearings", bearings(100), 100, true},
      {"105 side bearings: the oldest five go", bearings(105), 100, false},
      {"an edit after undoing past a save drops the redo and the saved state",
       [](FontDocument& d) {
         d.setSideBearings(1, 1);
         d.setModified(false);
         d.undo();
         d.setSideBearings(2, 2);
         EXPECT_FALSE(d.redo());
       },
       1, false},
      {"an edit of a recovered document",
       [](FontDocument& d) {
         d.setModified(true);
         d.setSideBearings(1, 1);
       },
       1, false},
  };
  for (const auto& [name, edit, steps, reachesSaved] : cases) {
    SCOPED_TRACE(name);
    FontDocument doc = latinWithTwoGlyphs();
    const auto saved = doc.glyphs();
    edit(doc);
    const auto edited = doc.glyphs();
    for (int i = 0; i < steps; ++i) {
      EXPECT_TRUE(doc.modified());
      ASSERT_TRUE(doc.undo()) << "undo " << i;
    }
    EXPECT_FALSE(doc.undo());
    EXPECT_EQ(doc.modified(), !reachesSaved);
    if (reachesSaved) {
      EXPECT_EQ(doc.glyphs(), saved);
    }
    while (doc.redo()) {}
    EXPECT_EQ(doc.glyphs(), edited);
    EXPECT_TRUE(doc.modified());
  }
}

// Every drawn glyph gets the bearings as if set on it alone (in one undo step: the undo
// test); full-width glyphs keep theirs unless asked; bearings one cannot take change nothing.
TEST(FontDocumentSpacing, SpaceAllGlyphsKeepsFullWidthUnlessAsked) {
  const std::tuple<bool, std::vector<uint16_t>, std::vector<uint16_t>> cases[] = {
      {false, {'A', 0xB1}, {0x82A0}}, {true, {'A', 0xB1, 0x82A0}, {}}};
  for (const auto& [fullWidthToo, spaced, kept] : cases) {
    FontDocument document(FontType::Japanese, "Spacing");
    int left = 60;
    for (const auto& codes : {spaced, kept})
      for (uint16_t code : codes) {
        document.setCurrentCode(code);
        ASSERT_TRUE(document.importBitmap(block(left += 30, 300)));
      }
    const auto before = document.glyphs();
    EXPECT_FALSE(document.spaceAllGlyphs(40000, 100, fullWidthToo));
    EXPECT_EQ(document.glyphs(), before);
    FontDocument reference = document;
    ASSERT_TRUE(document.spaceAllGlyphs(100, 60, fullWidthToo));
    for (uint16_t code : spaced) {
      ASSERT_TRUE(reference.setCurrentCode(code) && reference.setSideBearings(100, 60));
      EXPECT_EQ(*document.glyph(code), *reference.glyph(code)) << code;
    }
    for (uint16_t code : kept) EXPECT_EQ(*document.glyph(code), before.at(code)) << code;
  }
}
