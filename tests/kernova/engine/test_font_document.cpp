#include "kernova/engine/FontDocument.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "BmpSamples.h"

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

}  // namespace

TEST(FontDocumentCodes, StartsOnTheTypesFirstCharacter) {
  EXPECT_EQ(FontDocument(FontType::Latin, "a").currentCode(), 0x41);
  EXPECT_EQ(FontDocument(FontType::Japanese, "b").currentCode(), 0x82A0);
  EXPECT_FALSE(FontDocument(FontType::Latin, "a").modified());
}

TEST(FontDocumentCodes, LatinDocumentIgnoresTheJapaneseProbeCode) {
  FontDocument doc(FontType::Latin, "Latin");
  ASSERT_TRUE(doc.setCurrentCode(0x61));
  EXPECT_FALSE(doc.setCurrentCode(0x82A0));
  EXPECT_EQ(doc.currentCode(), 0x61);
}

TEST(FontDocumentCodes, JapaneseDocumentTakesTheProbeCode) {
  FontDocument doc(FontType::Japanese, "Japanese");
  ASSERT_TRUE(doc.setCurrentCode(0x41));
  EXPECT_TRUE(doc.setCurrentCode(0x82A0));
  EXPECT_EQ(doc.currentCode(), 0x82A0);
  EXPECT_FALSE(doc.setCurrentCode(0xF040));  // user-defined area
  EXPECT_EQ(doc.currentCode(), 0x82A0);
}

TEST(FontDocumentCodes, NextAndPreviousFollowTheOrderAndStopAtTheEnds) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.viewNextCode();
  EXPECT_EQ(doc.currentCode(), 0x42);
  ASSERT_TRUE(doc.setCurrentCode(0x80));
  doc.viewNextCode();
  EXPECT_EQ(doc.currentCode(), 0x82);  // 0x81 has no character
  ASSERT_TRUE(doc.setCurrentCode(0xFF));
  doc.viewNextCode();
  EXPECT_EQ(doc.currentCode(), 0xFF);
  ASSERT_TRUE(doc.setCurrentCode(0x20));
  doc.viewPreviousCode();
  EXPECT_EQ(doc.currentCode(), 0x20);
  EXPECT_FALSE(doc.modified());
}

TEST(FontDocumentSelection, SelectAllThenDeleteEmptiesTheCurrentGlyph) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setGlyph(0x42, twoSquares());
  doc.setModified(false);
  doc.selectAll();
  EXPECT_EQ(doc.selection().size(), 2u);
  doc.deleteSelection();
  EXPECT_TRUE(doc.selection().empty());
  EXPECT_TRUE(doc.glyph(0x41) == nullptr || doc.glyph(0x41)->empty());
  ASSERT_NE(doc.glyph(0x42), nullptr);
  EXPECT_EQ(doc.glyph(0x42)->contours.size(), 2u);
  EXPECT_TRUE(doc.modified());
}

TEST(FontDocumentSelection, UnselectAllMakesDeleteHarmless) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setModified(false);
  doc.selectAll();
  doc.unselectAll();
  doc.deleteSelection();
  EXPECT_EQ(doc.glyph(0x41)->contours.size(), 2u);
  EXPECT_FALSE(doc.modified());
}

TEST(FontDocumentSelection, MovingToAnotherCodeDropsTheSelection) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setGlyph(0x42, twoSquares());
  doc.selectAll();
  doc.viewNextCode();
  doc.deleteSelection();
  EXPECT_EQ(doc.glyph(0x42)->contours.size(), 2u);
}

TEST(FontDocumentSelection, SelectAllOnAnEmptyGlyphSelectsNothing) {
  FontDocument doc(FontType::Japanese, "Japanese");
  doc.selectAll();
  EXPECT_TRUE(doc.selection().empty());
}

TEST(FontDocumentGlyphs, EditingMarksTheDocumentModified) {
  FontDocument doc(FontType::Latin, "Latin");
  EXPECT_EQ(doc.glyph(0x41), nullptr);
  doc.glyphForEdit(0x41).contours.push_back(square(0, 0, 10));
  EXPECT_TRUE(doc.modified());
  ASSERT_NE(doc.glyph(0x41), nullptr);
  EXPECT_EQ(doc.glyph(0x41)->advance, kernova::kDefaultAdvance);
}

TEST(FontDocumentSideBearings, ShiftsTheGlyphAndSetsTheAdvance) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setModified(false);
  ASSERT_TRUE(doc.setSideBearings(20, 30));
  const Glyph& glyph = *doc.glyph(0x41);
  EXPECT_EQ(glyph.contours[0][0], (Point{20, 0}));
  EXPECT_EQ(glyph.contours[1][2], (Point{270, 50}));
  EXPECT_EQ(glyph.advance, 250 + 20 + 30);
  EXPECT_TRUE(glyph.advanceSet);
  EXPECT_TRUE(doc.modified());
}

TEST(FontDocumentSideBearings, OffCurvePointsCountForTheInkWidth) {
  FontDocument doc(FontType::Latin, "Latin");
  Glyph glyph;
  glyph.contours = {{{100, 0}, {50, 100, false}, {100, 200}, {200, 100}}};
  doc.setGlyph(0x41, glyph);
  ASSERT_TRUE(doc.setSideBearings(0, 0));
  EXPECT_EQ(doc.glyph(0x41)->contours[0][1].x, 0);
  EXPECT_EQ(doc.glyph(0x41)->advance, 150);
}

TEST(FontDocumentSideBearings, EmptyGlyphKeepsItsAdvance) {
  FontDocument doc(FontType::Latin, "Latin");
  ASSERT_TRUE(doc.setSideBearings(10, 10));
  EXPECT_TRUE(doc.glyph(0x41) == nullptr || doc.glyph(0x41)->advance == kernova::kDefaultAdvance);
  EXPECT_FALSE(doc.modified());
}

TEST(FontDocumentSideBearings, NegativeBearingsThatWouldInvertTheAdvanceAreRefused) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  Status status = doc.setSideBearings(-200, -200);  // ink width is 250
  EXPECT_FALSE(status);
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(*doc.glyph(0x41), twoSquares());
}

TEST(FontDocumentSideBearings, BearingsThatLeaveTheCoordinateRangeAreRefused) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  EXPECT_FALSE(doc.setSideBearings(32767, 0));
  EXPECT_EQ(*doc.glyph(0x41), twoSquares());
}

namespace {

// A scratch folder per test program run, removed at the end of each test.
class FontDocumentImport : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(m_dir); }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = (m_dir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
  }
  // The glyph export's form: a 512 x 512 canvas as a 1-bit bottom-up BMP.
  std::string canvasWithBlock(const std::string& name) {
    kernova::InkBitmap canvas = samples::blank(512, 512);
    samples::fillRect(canvas, 100, 400, 149, 441);
    return write(name, samples::encodeBmp(canvas, {}));
  }

  std::filesystem::path m_dir = std::filesystem::temp_directory_path() /
                                ("kernova_doc_" + std::to_string(getpid()));
};

}  // namespace

TEST_F(FontDocumentImport, TracesTheCanvasIntoTheCurrentGlyph) {
  FontDocument doc(FontType::Japanese, "Japanese");
  Status status = doc.importBitmap(canvasWithBlock("srfm_dots82A0.bmp"));
  ASSERT_TRUE(status) << status.message();
  EXPECT_TRUE(doc.modified());
  const Glyph* glyph = doc.glyph(0x82A0);
  ASSERT_NE(glyph, nullptr);
  ASSERT_EQ(glyph->contours.size(), 1u);
  EXPECT_EQ(glyph->advance, kernova::kDefaultAdvance);
  ASSERT_TRUE(doc.setSideBearings(10, 30));
  EXPECT_EQ(doc.glyph(0x82A0)->advance, 200 + 10 + 30);  // the block is 50 px = 200 units
}

TEST_F(FontDocumentImport, SelectDeleteImportReplacesTheOutline) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  std::string path = canvasWithBlock("srfm_dots0041.bmp");
  doc.selectAll();
  doc.deleteSelection();
  ASSERT_TRUE(doc.importBitmap(path));
  doc.unselectAll();
  EXPECT_EQ(doc.glyph(0x41)->contours.size(), 1u);
  ASSERT_TRUE(doc.importBitmap(path));  // a second import adds, it does not replace
  EXPECT_EQ(doc.glyph(0x41)->contours.size(), 2u);
}

TEST_F(FontDocumentImport, BrokenFileLeavesTheGlyphAlone) {
  FontDocument doc(FontType::Latin, "Latin");
  doc.setGlyph(0x41, twoSquares());
  doc.setModified(false);
  std::vector<uint8_t> rle = samples::encodeBmp(samples::blank(8, 8), {.bits = 8});
  samples::put32(rle, 30, 1);
  Status status = doc.importBitmap(write("rle.bmp", rle));
  EXPECT_NE(status.message().find("unsupported compression 1"), std::string::npos);
  status = doc.importBitmap(write("text.bmp", {'h', 'e', 'l', 'l', 'o'}));
  EXPECT_NE(status.message().find("not a BMP file"), std::string::npos);
  EXPECT_EQ(*doc.glyph(0x41), twoSquares());
  EXPECT_FALSE(doc.modified());
}

TEST_F(FontDocumentImport, MissingFileIsAReadableFailure) {
  FontDocument doc(FontType::Latin, "Latin");
  Status status = doc.importBitmap((m_dir / "absent.bmp").string());
  EXPECT_FALSE(status);
  EXPECT_NE(status.message().find("absent.bmp"), std::string::npos);
  EXPECT_FALSE(doc.modified());
}
