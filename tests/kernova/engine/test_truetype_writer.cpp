// The TrueType writer's bytes against hand-computed expectations. Table checksums,
// boxes, maxp, hhea, cmap, names and the glyph encoding are the outside validators'
// and the read-back's (test_truetype_validators.cpp, test_truetype_reader.cpp).
#include <sys/stat.h>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"
#include "tests/support/FileBytes.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::saveTrueType;
using kernova::sfnt::checkTrueTypeLimits;

namespace {

// The glyf record of one glyph, located through loca.
Bytes glyphRecord(const Bytes& font, uint32_t glyphId) {
  bool longOffsets = be16(tableBytes(font, "head"), 50) == 1;
  Bytes loca = tableBytes(font, "loca"), glyf = tableBytes(font, "glyf");
  auto at = [&](uint32_t i) { return longOffsets ? be32(loca, 4 * i) : 2 * be16(loca, 2 * i); };
  return {glyf.begin() + at(glyphId), glyf.begin() + at(glyphId + 1)};
}

}  // namespace

// Ten tables: searchRange 16 * 8, entrySelector 3, rangeShift 16 * 10 - 128; the whole
// file sums to 0xB1B0AFBA through head's checkSumAdjustment.
TEST(TrueTypeFile, DirectoryHeaderAndTheWholeFileChecksum) {
  Bytes font = compileTrueType(latinDocument());
  EXPECT_EQ(Bytes(font.begin(), font.begin() + 12), (Bytes{0, 1, 0, 0, 0, 10, 0, 128, 0, 3, 0, 32}));
  uint32_t sum = 0;
  for (size_t i = 0; i < font.size(); ++i) sum += uint32_t(font[i]) << (24 - 8 * (i % 4));
  EXPECT_EQ(sum, 0xB1B0AFBAu);
}

TEST(TrueTypeGlyf, LocaTurnsLongWhenGlyfOutgrowsShortOffsets) {
  EXPECT_EQ(be16(tableBytes(compileTrueType(latinDocument()), "head"), 50), 0u);
  Bytes large = compileTrueType(everyJapaneseCode());
  ASSERT_GT(tableBytes(large, "glyf").size(), 0x1FFFEu);
  EXPECT_EQ(be16(tableBytes(large, "head"), 50), 1u);
  uint32_t glyphs = be16(tableBytes(large, "maxp"), 4);
  EXPECT_EQ(be32(tableBytes(large, "loca"), 4 * glyphs), tableBytes(large, "glyf").size());
}

// OS/2 names the code pages and Unicode ranges the font covers, its first and last
// character, and win metrics that cover every outline (at least the ascender 1768 and
// descender 280). Offsets: ulUnicodeRange1..3 at 42, usFirst/LastCharIndex at 64,
// usWinAscent/Descent at 74, ulCodePageRange1 at 78.
TEST(TrueTypeMetrics, Os2CodePagesRangesCharactersAndWinMetrics) {
  FontDocument tall = latinDocument();
  tall.setGlyph('T', glyphOf({{{0, -600}, {0, 2000}, {100, 2000}, {100, -600}}}));
  auto fields = [](const FontDocument& document) {
    Bytes os2 = tableBytes(compileTrueType(document), "OS/2");
    return std::vector<uint32_t>{be32(os2, 42), be32(os2, 46), be32(os2, 50), be16(os2, 64),
                                 be16(os2, 66), be16(os2, 74), be16(os2, 76), be32(os2, 78)};
  };
  EXPECT_EQ(fields(latinDocument()), (std::vector<uint32_t>{0x3, 1u << (33 - 32), 0, 0x20, 0x20AC, 1768, 280, 1}));
  // Basic Latin; kana and CJK ideographs; half-width forms; JIS/Japan and Latin 1.
  EXPECT_EQ(fields(japaneseDocument()), (std::vector<uint32_t>{0x1, (1u << (49 - 32)) | (1u << (59 - 32)),
                                                                1u << (68 - 64), 0x20, 0xFF71, 1768, 280, (1u << 17) | 1u}));
  EXPECT_EQ(fields(tall)[5], 2000u);
  EXPECT_EQ(fields(tall)[6], 600u);
}

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
  EXPECT_EQ(be16(glyphRecord(compileTrueType(document), 2), 0), 1u);
  // A step beyond 16 bits: refused, or every coordinate pulled into +-16383.
  document.setGlyph('A', glyphOf({{{-30000, 0}, {30000, 0}, {30000, 10}}}));
  EXPECT_FALSE(checkTrueTypeLimits(document));
  Bytes glyph = glyphRecord(compileTrueType(document), 2);
  EXPECT_EQ(std::pair(be16(glyph, 2), be16(glyph, 6)), std::pair(uint32_t(-16383 & 0xFFFF), 16383u));
  document.setGlyph('A', glyphOf({{{30000, 0}, {30100, 0}, {30100, 10}}}));
  EXPECT_TRUE(checkTrueTypeLimits(document));
}

TEST(TrueTypeSave, ReplacesTheFileKeepingItsModeOrOnFailureLeavesItWhole) {
  TempDir dir;
  std::string path = dir.file("font.ttf");
  writeBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  FontDocument tooBig(FontType::Latin, "big");
  tooBig.setGlyph('A', glyphOf({Contour(70000, Point{})}));
  EXPECT_NE(saveTrueType(tooBig, path).message().find(path), std::string::npos);
  EXPECT_EQ(readBytes(path), "old");
  ASSERT_TRUE(saveTrueType(japaneseDocument(), path));
  const Bytes written = compileTrueType(japaneseDocument());
  EXPECT_EQ(readBytes(path), std::string(written.begin(), written.end()));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // Renaming over a folder fails after the temporary was written; it is removed.
  std::filesystem::create_directories(dir.file("folder.ttf/keep"));
  EXPECT_NE(saveTrueType(latinDocument(), dir.file("folder.ttf")).message().find("folder.ttf"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 2);
  EXPECT_FALSE(saveTrueType(latinDocument(), dir.file("missing/font.ttf")));
}
