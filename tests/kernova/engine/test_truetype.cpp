// The TrueType writer's own decisions (PostScript names, limits, refused saves) and reading
// fonts back. The format and the sample files are test_truetype_validators.cpp's, hostile
// bytes fuzz_truetype's.
#include <tuple>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using namespace kernova;
using kernova::sfnt::checkTrueTypeLimits;

// Printable ASCII without [](){}<>/%, at most 63 characters; a family made only of
// other characters is spelled by its code points.
TEST(TrueTypeName, PostScriptNameIsValidForAnyFamily) {
  const std::pair<std::string, std::string> cases[] = {
      {"A(b)[c]{d}<e>/f%g h", "Abcdefgh-Regular"}, {"筆 Brush", "Brush-Regular"}, {"あ い", "u3042u3044-Regular"},
      {"\xff", "uFFFD-Regular"}, {"", "Untitled-Regular"}, {std::string(300, 'x'), std::string(55, 'x') + "-Regular"}};
  for (const auto& [family, name] : cases) EXPECT_EQ(sfnt::postScriptName(family), name);
}

// Written and read back, a document gives the same bytes again, and its type, name and
// glyphs with their advances come back (plus the space's 512). U+00A7 is 0xA7 in CP1252
// and 0x8198 in CP932, yet a font with it stays Latin. 'O' is all off-curve with a hole,
// 'l' has equal steps (repeated flags), 'i' its own advance, '_' is blank with an advance,
// a bare 'D' is not written. 0xED40 and 0xFA5C are both U+7E8A: the code page writes it as
// 0xFA5C, the code the order keeps, and 0xED40's glyph is not written.
TEST(TrueTypeRoundTrip, DocumentsComeBackAsWritten) {
  FontDocument shapes(FontType::Latin, "Shapes");
  shapes.setGlyph('O', glyphOf({{{0, 0}, {0, 800, false}, {800, 800, false}, {800, 0, false}},
                                {{200, 200}, {600, 200, false}, {600, 600, false}, {200, 600, false}}}));
  shapes.setGlyph('l', glyphOf({{{0, 0}, {0, 100}, {0, 200}, {0, 300}, {0, 400}, {0, 500}, {100, 500}}}));
  shapes.setGlyph('i', Glyph{{canvasSquare(10, 300, 60, 442)}, 300, true});
  shapes.setGlyph('_', Glyph{{}, kDefaultAdvance, true});
  shapes.setGlyph('D', Glyph{});
  shapes.setGlyph(0xA7, glyphOf({canvasSquare(0, 0, 10, 10)}));
  FontDocument shared = japaneseDocument();
  shared.setGlyph(0xED40, glyphOf({canvasSquare(0, 0, 10, 10)}));
  shared.setGlyph(0xFA5C, glyphOf({canvasSquare(0, 0, 20, 20)}));
  for (const FontDocument& document : {shapes, latinDocument(), shared}) {
    Bytes written = compileTrueType(document);
    std::unique_ptr<FontDocument> back = readBack(written);
    EXPECT_EQ(compileTrueType(*back), written) << document.name();
    EXPECT_EQ(std::tuple(back->type(), back->name(), back->modified(), back->filePath()),
              std::tuple(document.type(), document.name(), false, std::string()));
    std::map<uint16_t, Glyph> expected = document.glyphs();
    expected.erase('D');
    expected.erase(0xED40);
    expected[' '] = Glyph{{}, 512, true};
    EXPECT_EQ(back->glyphs(), expected) << document.name();
  }
}

// FreeType holds 32756 points per glyph at most: the largest glyph the check allows opens
// again. Its steps take two bytes each way, so glyf outgrows short loca offsets (half the
// offset in 16 bits) without reaching twice that. A point more is refused by the check,
// naming the glyph, and by saving, naming the file and leaving it alone; compile drops the
// contour. The file itself is common::writeFileAtomically's (permissions, temporaries).
TEST(TrueTypeLimits, TheLargestGlyphOpensAgainAndLargerOnesAreRefusedAndCut) {
  FontDocument document(FontType::Latin, "dense");
  Contour dense;
  for (int i = 0; i < 32756; ++i) dense.push_back({i % 2 * 1000, i % 3 * 500, i % 3 != 0});
  document.setGlyph('A', glyphOf({dense}));
  ASSERT_TRUE(checkTrueTypeLimits(document));
  const Bytes font = compileTrueType(document);
  ASSERT_GT(font.size(), 0x20000u + 0x1000u);  // all but some hundred bytes are glyf
  ASSERT_LT(font.size(), 0x40000u);
  EXPECT_EQ(readBack(font)->glyph('A')->contours, document.glyph('A')->contours);
  dense.push_back({0, 0});
  document.setGlyph('A', glyphOf({dense}));
  EXPECT_NE(checkTrueTypeLimits(document).message().find("0x0041 has 32757 points"), std::string::npos)
      << checkTrueTypeLimits(document).message();
  TempDir dir;
  const std::string path = dir.file("font.ttf"), missing = dir.file("missing/font.ttf");
  writeBytes(path, "old");
  EXPECT_NE(saveTrueType(document, path).message().find(path), std::string::npos);
  EXPECT_EQ(readBytes(path), "old");
  EXPECT_NE(saveTrueType(latinDocument(), missing).message().find(missing), std::string::npos);
  document.setGlyph('A', glyphOf({dense, canvasSquare(0, 0, 1, 1)}));
  EXPECT_EQ(readBack(compileTrueType(document))->glyph('A')->contours, std::vector<Contour>{canvasSquare(0, 0, 1, 1)});
  // A step beyond 16 bits: refused, or every coordinate pulled into +-16383.
  document.setGlyph('A', glyphOf({{{-30000, 0}, {30000, 0}, {30000, 10}}}));
  EXPECT_FALSE(checkTrueTypeLimits(document));
  EXPECT_EQ(readBack(compileTrueType(document))->glyph('A')->contours,
            (std::vector<Contour>{{{-16383, 0}, {16383, 0}, {16383, 10}}}));
  document.setGlyph('A', glyphOf({{{30000, 0}, {30100, 0}, {30100, 10}}}));
  EXPECT_TRUE(checkTrueTypeLimits(document));
}

// Fonts installed with the build's dependencies open with their type; CP932 codes Greek
// and Cyrillic in two bytes, which does not make Liberation Japanese.
TEST(TrueTypeForeignFonts, InstalledFontsOpenWithTheirType) {
  const std::tuple<std::string, std::string, FontType, uint16_t> fonts[] = {
      {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "IPAゴシック", FontType::Japanese, 0x82A0},
      {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", "Liberation Sans", FontType::Latin, 0x80}};
  for (const auto& [path, name, type, code] : fonts) {
    std::unique_ptr<FontDocument> document;
    ASSERT_TRUE(loadTrueType(path, document));
    EXPECT_EQ(std::tuple(document->type(), document->name()), std::tuple(type, name));
    EXPECT_FALSE(document->glyph(code)->contours.empty()) << name;
  }
}
