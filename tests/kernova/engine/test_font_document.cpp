#include "kernova/engine/FontDocument.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/kernova/engine/BmpSamples.h"

using kernova::Contour;
using kernova::FontDocument;
using kernova::FontType;
using kernova::Glyph;
using kernova::Point;

namespace {

Contour square(int x0, int y0, int size) {
  return {{x0, y0}, {x0, y0 + size}, {x0 + size, y0 + size}, {x0 + size, y0}};
}

Glyph twoSquares() {
  Glyph glyph;
  glyph.contours = {square(100, 0, 50), square(300, 0, 50)};  // x 100..350
  return glyph;
}

// A Latin document whose 'A' and 'B' hold two squares, not marked modified.
FontDocument latinWithTwoGlyphs() {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setGlyph(0x42, twoSquares());
  doc.setModified(false);
  return doc;
}

}  // namespace

// A Latin document refuses 0x82A0 and a Japanese one its user-defined area; either
// keeps its current code then.
TEST(FontDocumentCodes, CodesOutsideTheTypesOrderAreIgnored) {
  FontDocument latin(FontType::Latin, "Latin"), japanese(FontType::Japanese, "Japanese");
  EXPECT_EQ(latin.currentCode(), 0x41);
  EXPECT_EQ(japanese.currentCode(), 0x82A0);
  ASSERT_TRUE(latin.setCurrentCode(0x61));
  EXPECT_FALSE(latin.setCurrentCode(0x82A0));
  EXPECT_EQ(latin.currentCode(), 0x61);
  ASSERT_TRUE(japanese.setCurrentCode(0x41));
  EXPECT_FALSE(japanese.setCurrentCode(0xF040));
  EXPECT_EQ(japanese.currentCode(), 0x41);
  EXPECT_FALSE(latin.modified() || japanese.modified());
}

TEST(FontDocumentCodes, NextAndPreviousFollowTheOrderAndStopAtTheEnds) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.viewNextCode();
  EXPECT_EQ(doc.currentCode(), 0x42);
  ASSERT_TRUE(doc.setCurrentCode(0xFF));
  doc.viewNextCode();
  EXPECT_EQ(doc.currentCode(), 0xFF);
  ASSERT_TRUE(doc.setCurrentCode(0x20));
  doc.viewPreviousCode();
  EXPECT_EQ(doc.currentCode(), 0x20);
}

TEST(FontDocumentSelection, DeleteRemovesOnlyTheSelectionOfTheCurrentGlyph) {
  FontDocument doc = latinWithTwoGlyphs();
  doc.selectAll();
  doc.unselectAll();
  doc.deleteSelection();
  EXPECT_EQ(doc.glyph(0x41)->contours.size(), 2u);
  EXPECT_FALSE(doc.modified());

  doc.selectAll();
  EXPECT_EQ(doc.selection().size(), 2u);
  doc.deleteSelection();
  EXPECT_TRUE(doc.selection().empty());
  EXPECT_TRUE(doc.glyph(0x41) == nullptr || doc.glyph(0x41)->empty());
  EXPECT_EQ(doc.glyph(0x42)->contours.size(), 2u);
  EXPECT_TRUE(doc.modified());
}

TEST(FontDocumentSelection, MovingToAnotherCodeDropsTheSelection) {
  FontDocument doc = latinWithTwoGlyphs();
  doc.selectAll();
  doc.viewNextCode();
  doc.deleteSelection();
  EXPECT_EQ(doc.glyph(0x42)->contours.size(), 2u);
  EXPECT_FALSE(doc.modified());
  ASSERT_TRUE(doc.setCurrentCode(0x43));
  doc.selectAll();
  EXPECT_TRUE(doc.selection().empty());
  doc.glyphForEdit(0x43).contours.push_back(square(0, 0, 10));
  EXPECT_TRUE(doc.modified());
}

TEST(FontDocumentSideBearings, ShiftTheInkIncludingOffCurvePointsAndSetTheAdvance) {
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.setSideBearings(20, 30));
  const Glyph& glyph = *doc.glyph(0x41);
  EXPECT_EQ(glyph.contours[0][0], (Point{20, 0}));
  EXPECT_EQ(glyph.contours[1][2], (Point{270, 50}));
  EXPECT_EQ(glyph.advance, 250 + 20 + 30);
  EXPECT_TRUE(glyph.advanceSet);
  EXPECT_TRUE(doc.modified());

  Glyph curved;
  curved.contours = {{{100, 0}, {50, 100, false}, {100, 200}, {200, 100}}};
  doc.setGlyph(0x41, curved);
  ASSERT_TRUE(doc.setSideBearings(0, 0));
  EXPECT_EQ(doc.glyph(0x41)->contours[0][1].x, 0);
  EXPECT_EQ(doc.glyph(0x41)->advance, 150);
}

TEST(FontDocumentSideBearings, EmptyGlyphOrBearingsThatInvertOrOverflowChangeNothing) {
  FontDocument doc = latinWithTwoGlyphs();
  ASSERT_TRUE(doc.setCurrentCode(0x43));
  ASSERT_TRUE(doc.setSideBearings(10, 10));
  EXPECT_TRUE(doc.glyph(0x43) == nullptr || doc.glyph(0x43)->advance == kernova::kDefaultAdvance);
  ASSERT_TRUE(doc.setCurrentCode(0x41));
  Status inverted = doc.setSideBearings(-200, -200);  // ink width is 250
  EXPECT_FALSE(inverted);
  EXPECT_FALSE(inverted.message().empty());
  EXPECT_FALSE(doc.setSideBearings(32767, 0));
  EXPECT_EQ(*doc.glyph(0x41), twoSquares());
  EXPECT_FALSE(doc.modified());
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
