// What the TrueType writer decides beyond the file format: PostScript names, glyphs
// beyond TrueType's limits, saving. The format itself (directory, checksums, boxes,
// summaries, OS/2, names, cmap) is the outside validators' (test_truetype_validators.cpp)
// and the glyph encoding the read-back's (test_truetype_reader.cpp).
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::saveTrueType;
using kernova::sfnt::checkTrueTypeLimits;

// Printable ASCII without [](){}<>/%, at most 63 characters; a family made only of
// other characters is spelled by its code points.
TEST(TrueTypeName, PostScriptNameIsValidForAnyFamily) {
  const std::pair<std::string, std::string> cases[] = {
      {"A(b)[c]{d}<e>/f%g h", "Abcdefgh-Regular"}, {"筆 Brush", "Brush-Regular"}, {"あ い", "u3042u3044-Regular"},
      {"\xff", "uFFFD-Regular"}, {"", "Untitled-Regular"}, {std::string(300, 'x'), std::string(55, 'x') + "-Regular"}};
  for (const auto& [family, name] : cases) EXPECT_EQ(kernova::sfnt::postScriptName(family), name);
}

TEST(TrueTypeLimits, OversizedGlyphIsRefusedByTheCheckAndCutByCompile) {
  FontDocument document(FontType::Latin, "big");
  Contour huge;
  for (int i = 0; i < 70000; ++i) huge.push_back({i % 1000, i / 1000});
  document.setGlyph('A', glyphOf({huge, canvasSquare(0, 0, 1, 1)}));
  EXPECT_NE(checkTrueTypeLimits(document).message().find("0x0041 has 70004 points"), std::string::npos)
      << checkTrueTypeLimits(document).message();
  // The first contour alone is beyond the limit: it is dropped, the square kept.
  EXPECT_EQ(readBack(compileTrueType(document))->glyph('A')->contours, std::vector<Contour>{canvasSquare(0, 0, 1, 1)});
  // A step beyond 16 bits: refused, or every coordinate pulled into +-16383.
  document.setGlyph('A', glyphOf({{{-30000, 0}, {30000, 0}, {30000, 10}}}));
  EXPECT_FALSE(checkTrueTypeLimits(document));
  EXPECT_EQ(readBack(compileTrueType(document))->glyph('A')->contours,
            (std::vector<Contour>{{{-16383, 0}, {16383, 0}, {16383, 10}}}));
  document.setGlyph('A', glyphOf({{{30000, 0}, {30100, 0}, {30100, 10}}}));
  EXPECT_TRUE(checkTrueTypeLimits(document));
}

// A refusal names the file and leaves it alone. Saved files are the validators' to
// check; the file itself is common::writeFileAtomically's (permissions, temporaries).
TEST(TrueTypeSave, RefusalNamesTheFileAndLeavesItAlone) {
  TempDir dir;
  const std::string path = dir.file("font.ttf");
  writeBytes(path, "old");
  FontDocument tooBig(FontType::Latin, "big");
  tooBig.setGlyph('A', glyphOf({Contour(70000, Point{})}));
  EXPECT_NE(saveTrueType(tooBig, path).message().find(path), std::string::npos);
  EXPECT_EQ(readBytes(path), "old");
  const std::string missing = dir.file("missing/font.ttf");
  EXPECT_NE(saveTrueType(latinDocument(), missing).message().find(missing), std::string::npos);
}
