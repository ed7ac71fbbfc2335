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

namespace {

// The glyph export's form: a 512 x 512 canvas with a 50 x 42 block on the guide line.
kernova::InkBitmap canvasWithBlock() {
  kernova::InkBitmap canvas = samples::blank(512, 512);
  samples::fillRect(canvas, 100, 400, 149, 441);
  return canvas;
}

}  // namespace

// The block is 50 x 42 canvas pixels on the guide line: one contour 200 units wide.
TEST(FontDocumentImport, ImportAddsTheTracedCanvasToTheCurrentGlyph) {
  FontDocument doc(FontType::Japanese, "Japanese");
  Status status = doc.importBitmap(canvasWithBlock());
  ASSERT_TRUE(status) << status.message();
  EXPECT_TRUE(doc.modified());
  ASSERT_NE(doc.glyph(0x82A0), nullptr);
  ASSERT_EQ(doc.glyph(0x82A0)->contours.size(), 1u);
  EXPECT_EQ(doc.glyph(0x82A0)->advance, kernova::kDefaultAdvance);
  ASSERT_TRUE(doc.setSideBearings(10, 30));
  EXPECT_EQ(doc.glyph(0x82A0)->advance, 200 + 10 + 30);
  ASSERT_TRUE(doc.importBitmap(canvasWithBlock()));  // a second import adds, it does not replace
  EXPECT_EQ(doc.glyph(0x82A0)->contours.size(), 2u);
  doc.selectAll();
  doc.deleteSelection();
  ASSERT_TRUE(doc.importBitmap(canvasWithBlock()));
  EXPECT_EQ(doc.glyph(0x82A0)->contours.size(), 1u);
}

// Regression: a canvas of 2 x 2 squares in a checkerboard traces to some 131,000
// points, was accepted, and from then on every save failed. Half a canvas of them stays
// under the tracer's outline budget and still exceeds a glyph's points.
TEST(FontDocumentImport, ABitmapThatDoesNotTraceOrFitAGlyphIsRefusedAndLeavesTheGlyphAlone) {
  kernova::InkBitmap checkerboard = samples::blank(512, 512);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 512; ++x)
      if ((x / 2 + y / 2) % 2 == 0) samples::set(checkerboard, x, y);
  const std::pair<kernova::InkBitmap, std::string> cases[] = {
      {{10, 10, std::vector<uint8_t>(99, 0)}, "size"},
      {checkerboard, "points; a TrueType glyph holds at most"},
  };
  for (const auto& [bitmap, expected] : cases) {
    FontDocument doc = latinWithTwoGlyphs();
    Status status = doc.importBitmap(bitmap);
    EXPECT_NE(status.message().find(expected), std::string::npos) << status.message();
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
  ASSERT_TRUE(doc.importBitmap(canvasWithBlock()));
  doc.unselectAll();
  ASSERT_TRUE(doc.setSideBearings(10, 20));
}

}  // namespace

// Each row edits a saved document with two glyphs; undoing `steps` times must bring
// back the saved glyphs exactly, one more undo must find nothing, and redoing all
// must give the edited glyphs again.
TEST(FontDocumentUndo, EachStepUndoesAndRedoesWholeAndTheSavedStateIsUnmodified) {
  struct Case {
    const char* name;
    std::function<void(FontDocument&)> edit;
    int steps;
  };
  const std::vector<Case> cases = {
      {"a transfer is one step", [](FontDocument& d) { transfer(d, 0x41); }, 1},
      {"transfers of two codes", [](FontDocument& d) { transfer(d, 0x41); transfer(d, 0x43); }, 2},
      {"a transfer repeated on one code",
       [](FontDocument& d) { transfer(d, 0x42); transfer(d, 0x42); }, 2},
      {"two imports in a row", [](FontDocument& d) {
         ASSERT_TRUE(d.importBitmap(canvasWithBlock()));
         ASSERT_TRUE(d.importBitmap(canvasWithBlock()));
       }, 2},
      {"100 side bearings", [](FontDocument& d) {
         for (int i = 0; i < 100; ++i) ASSERT_TRUE(d.setSideBearings(i, 0)) << i;
       }, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FontDocument doc = latinWithTwoGlyphs();
    const auto saved = doc.glyphs();
    c.edit(doc);
    const auto edited = doc.glyphs();
    for (int i = 0; i < c.steps; ++i) {
      EXPECT_TRUE(doc.modified());
      ASSERT_TRUE(doc.undo()) << "undo " << i;
    }
    EXPECT_EQ(doc.glyphs(), saved);
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(doc.undo());
    while (doc.redo()) {}
    EXPECT_EQ(doc.glyphs(), edited);
    EXPECT_TRUE(doc.modified());
  }
}

TEST(FontDocumentUndo, AnEditAfterUndoDropsRedoAndTheOldestStepsGoBeyondTheLimit) {
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.setSideBearings(1, 1));
  ASSERT_TRUE(doc.undo());
  ASSERT_TRUE(doc.setSideBearings(2, 2));
  EXPECT_FALSE(doc.redo());
  for (int i = 0; i < 105; ++i) ASSERT_TRUE(doc.setSideBearings(i, 0));
  int undone = 0;
  while (doc.undo()) ++undone;
  EXPECT_EQ(undone, 100);
  EXPECT_TRUE(doc.modified()) << "the saved state fell off the stack";

  FontDocument recovered = latinWithTwoGlyphs();
  recovered.setModified(true);  // as opened from a recovery copy
  ASSERT_TRUE(recovered.setSideBearings(1, 1));
  ASSERT_TRUE(recovered.undo());
  EXPECT_TRUE(recovered.modified()) << "a recovered document differs from its file";
}
