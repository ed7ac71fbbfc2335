// The TrueType writer's bytes checked against hand-computed expectations with a
// reader of its own (test_truetype_support.h). Whole-table consistency (bounds,
// maxp, hhea, cmap) and the names are checked by the outside validators.
#include <sys/stat.h>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::saveTrueType;
using kernova::sfnt::checkTrueTypeLimits;

namespace {

uint32_t wordSum(const std::vector<uint8_t>& bytes) {
  uint32_t sum = 0;
  for (size_t i = 0; i < bytes.size(); ++i) sum += uint32_t(bytes[i]) << (24 - 8 * (i % 4));
  return sum;
}

// The glyf record of one glyph, located through loca.
std::vector<uint8_t> glyphRecord(const std::vector<uint8_t>& font, uint32_t glyphId) {
  bool longOffsets = be16(tableBytes(font, "head"), 50) == 1;
  std::vector<uint8_t> loca = tableBytes(font, "loca"), glyf = tableBytes(font, "glyf");
  auto at = [&](uint32_t i) { return longOffsets ? be32(loca, 4 * i) : 2 * be16(loca, 2 * i); };
  return {glyf.begin() + at(glyphId), glyf.begin() + at(glyphId + 1)};
}

}  // namespace

TEST(TrueTypeFile, DirectoryIsSortedAlignedAndChecksummedAndHeadIsFixed) {
  std::vector<uint8_t> font = compileTrueType(latinDocument());
  EXPECT_EQ(be32(font, 0), 0x00010000u);
  ASSERT_EQ(be16(font, 4), 10u);
  EXPECT_EQ(be16(font, 6), 128u);  // searchRange
  EXPECT_EQ(be16(font, 8), 3u);    // entrySelector
  EXPECT_EQ(be16(font, 10), 32u);  // rangeShift
  EXPECT_EQ(font.size() % 4, 0u);
  std::string previous;
  for (const auto& [tag, entry] : tableDirectory(font)) {
    EXPECT_LT(previous, tag);
    previous = tag;
    EXPECT_EQ(entry.offset % 4, 0u) << tag;
    ASSERT_LE(entry.offset + entry.length, font.size()) << tag;
    std::vector<uint8_t> data = tableBytes(font, tag);
    if (tag == "head") std::fill(data.begin() + 8, data.begin() + 12, 0);
    EXPECT_EQ(wordSum(data), entry.checksum) << tag;
  }
  EXPECT_EQ(wordSum(font), 0xB1B0AFBAu);

  std::vector<uint8_t> head = tableBytes(font, "head");
  EXPECT_EQ(be32(head, 12), 0x5F0F3CF5u);
  EXPECT_EQ(be16(head, 18), 2048u);
  uint64_t created = uint64_t(be32(head, 20)) << 32 | be32(head, 24);
  uint64_t modified = uint64_t(be32(head, 28)) << 32 | be32(head, 32);
  EXPECT_EQ(created, 3786912000u);  // 2024-01-01 00:00 UTC since 1904: same document, same bytes
  EXPECT_EQ(modified, created);
}

TEST(TrueTypeGlyf, RepeatsFlagsAndWritesShortLongAndNegativeSteps) {
  FontDocument document(FontType::Latin, "g");
  document.setGlyph(
      'A', glyphOf({{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {1004, 0, false}, {999, 0}}}));
  std::vector<uint8_t> expected = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x03,
                                   0xEC, 0x00, 0x00,  // box 0,0 .. 1004,0
                                   0x00, 0x06, 0x00, 0x00, 0x31, 0x3B, 0x03,
                                   0x20, 0x23,  // same; 4 x (+1 short) repeated; long off; -5
                                   0x01, 0x01, 0x01, 0x01, 0x03, 0xE8, 0x05,  // x steps
                                   0x00, 0x00};                               // padding to 4 bytes
  EXPECT_EQ(glyphRecord(compileTrueType(document), 2), expected);
}

TEST(TrueTypeGlyf, LocaTurnsLongWhenGlyfOutgrowsShortOffsets) {
  std::vector<uint8_t> small = compileTrueType(latinDocument());
  EXPECT_EQ(sbe16(tableBytes(small, "head"), 50), 0);
  std::vector<uint8_t> large = compileTrueType(everyJapaneseCode());
  ASSERT_GT(tableBytes(large, "glyf").size(), 0x1FFFEu);
  EXPECT_EQ(sbe16(tableBytes(large, "head"), 50), 1);
  uint32_t glyphs = be16(tableBytes(large, "maxp"), 4);
  EXPECT_EQ(be32(tableBytes(large, "loca"), 4 * glyphs), tableBytes(large, "glyf").size());
}

TEST(TrueTypeMetrics, Os2NamesCodePagesRangesAndCoversEveryOutline) {
  std::vector<uint8_t> latin = tableBytes(compileTrueType(latinDocument()), "OS/2");
  ASSERT_EQ(latin.size(), 96u);
  EXPECT_EQ(be16(latin, 0), 4u);
  EXPECT_EQ(be32(latin, 78), 1u);       // ulCodePageRange1: Latin 1
  EXPECT_EQ(be16(latin, 64), 0x20u);    // usFirstCharIndex
  EXPECT_EQ(be16(latin, 66), 0x20ACu);  // usLastCharIndex: the euro
  EXPECT_EQ(be32(latin, 42), 0x3u);     // Basic Latin, Latin-1 Supplement
  EXPECT_EQ(be32(latin, 46), 1u << 1);  // bit 33: Currency Symbols
  EXPECT_EQ(sbe16(latin, 68), 1768);    // sTypoAscender
  EXPECT_EQ(sbe16(latin, 70), -280);    // sTypoDescender
  EXPECT_EQ(be16(latin, 74), 1768u);    // usWinAscent
  EXPECT_EQ(be16(latin, 76), 280u);     // usWinDescent

  std::vector<uint8_t> japanese = tableBytes(compileTrueType(japaneseDocument()), "OS/2");
  EXPECT_EQ(be32(japanese, 78), (1u << 17) | 1u);  // JIS/Japan and Latin 1
  EXPECT_EQ(be16(japanese, 66), 0xFF71u);
  EXPECT_EQ(be32(japanese, 46), (1u << (49 - 32)) | (1u << (59 - 32)));  // kana, kanji
  EXPECT_EQ(be32(japanese, 50), 1u << (68 - 64));                        // half-width forms

  FontDocument tall(FontType::Latin, "tall");
  tall.setGlyph('T', glyphOf({{{0, -600}, {0, 2000}, {100, 2000}, {100, -600}}}));
  std::vector<uint8_t> os2 = tableBytes(compileTrueType(tall), "OS/2");
  EXPECT_EQ(be16(os2, 74), 2000u);
  EXPECT_EQ(be16(os2, 76), 600u);
}

TEST(TrueTypeName, PostScriptNameIsValidForAnyFamily) {
  using kernova::sfnt::postScriptName;
  EXPECT_EQ(postScriptName("あ"), "u3042-Regular");
  EXPECT_EQ(postScriptName("A(b)[c]{d}<e>/f%g h"), "Abcdefgh-Regular");
  EXPECT_EQ(postScriptName("筆 Brush"), "Brush-Regular");
  for (const std::string& family : {std::string(300, 'x'), std::string(""), std::string("\xff\xfe"),
                                    std::string(40, ' ') + "あいうえおかきくけこさしすせそ"}) {
    std::string name = postScriptName(family);
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 63u) << family;
    for (char ch : name) {
      EXPECT_TRUE(ch >= 33 && ch <= 126) << name;
      EXPECT_EQ(std::string("[](){}<>/%").find(ch), std::string::npos) << name;
    }
  }
}

TEST(TrueTypeLimits, OversizedGlyphIsRefusedBySaveAndCutByCompile) {
  FontDocument document(FontType::Latin, "big");
  Contour huge;
  for (int i = 0; i < 70000; ++i) huge.push_back({i % 1000, i / 1000});
  document.setGlyph('A', glyphOf({huge, canvasSquare(0, 0, 1, 1)}));
  Status limits = checkTrueTypeLimits(document);
  ASSERT_FALSE(limits);
  EXPECT_NE(limits.message().find("0x0041"), std::string::npos) << limits.message();
  EXPECT_NE(limits.message().find("70004 points"), std::string::npos) << limits.message();
  // The first contour alone is beyond the limit: it is dropped, the square kept.
  EXPECT_EQ(be16(glyphRecord(compileTrueType(document), 2), 0), 1u);
}

TEST(TrueTypeLimits, StepsBeyondSixteenBitsAreRefusedOrPulledIn) {
  FontDocument document(FontType::Latin, "far");
  document.setGlyph('A', glyphOf({{{-30000, 0}, {30000, 0}, {30000, 10}}}));
  EXPECT_FALSE(checkTrueTypeLimits(document));
  std::vector<uint8_t> glyph = glyphRecord(compileTrueType(document), 2);
  EXPECT_EQ(sbe16(glyph, 2), -16383);  // xMin
  EXPECT_EQ(sbe16(glyph, 6), 16383);   // xMax
  document.setGlyph('A', glyphOf({{{30000, 0}, {30100, 0}, {30100, 10}}}));
  EXPECT_TRUE(checkTrueTypeLimits(document));
}

TEST(TrueTypeSave, ReplacingAFontWritesTheBytesKeepsPermissionsAndLeavesNoTemporary) {
  TempDir dir;
  std::string path = dir.file("font.ttf");
  writeFile(path, {1, 2, 3});
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(saveTrueType(japaneseDocument(), path));
  EXPECT_EQ(readFile(path), compileTrueType(japaneseDocument()));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TrueTypeSave, FailureLeavesTheOldFileWholeAndNoTemporary) {
  TempDir dir;
  std::string path = dir.file("font.ttf");
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  writeFile(path, old);
  FontDocument tooBig(FontType::Latin, "big");
  tooBig.setGlyph('A', glyphOf({Contour(70000, Point{})}));
  Status refused = saveTrueType(tooBig, path);
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.message().find(path), std::string::npos);
  EXPECT_EQ(readFile(path), old);

  // Renaming over a folder fails after the temporary was written.
  std::string folder = dir.file("folder.ttf");
  std::filesystem::create_directories(folder + "/keep");
  Status overFolder = saveTrueType(latinDocument(), folder);
  EXPECT_FALSE(overFolder);
  EXPECT_NE(overFolder.message().find("folder.ttf"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/keep"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  EXPECT_FALSE(saveTrueType(latinDocument(), dir.file("missing/font.ttf")));
}
