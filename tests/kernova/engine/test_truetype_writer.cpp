// The TrueType writer, checked byte for byte against hand-computed expectations
// with a reader of its own (test_truetype_support.h).
#include <sys/stat.h>

#include <set>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/TrueType.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "platform/codepage/CodePage.h"
#include "test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::saveTrueType;

namespace {

uint32_t wordSum(const std::vector<uint8_t>& bytes, size_t begin, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i < (length + 3) / 4 * 4; ++i) {
    uint32_t byte = begin + i < bytes.size() && i < length ? bytes[begin + i] : 0;
    sum += byte << (24 - 8 * (i % 4));
  }
  return sum;
}

// Decodes the (3, 1) format 4 subtable into Unicode -> glyph id.
std::map<uint32_t, uint32_t> windowsCharacterMap(const std::vector<uint8_t>& font) {
  std::vector<uint8_t> cmap = tableBytes(font, "cmap");
  size_t sub = 0;
  for (uint32_t i = 0; i < be16(cmap, 2); ++i)
    if (be16(cmap, 4 + 8 * i) == 3 && be16(cmap, 6 + 8 * i) == 1) sub = be32(cmap, 8 + 8 * i);
  EXPECT_EQ(be16(cmap, sub), 4u);
  size_t segX2 = be16(cmap, sub + 6);
  size_t ends = sub + 14, starts = ends + segX2 + 2, deltas = starts + segX2,
         ranges = deltas + segX2;
  std::map<uint32_t, uint32_t> map;
  for (size_t s = 0; s < segX2 / 2; ++s) {
    uint32_t start = be16(cmap, starts + 2 * s), end = be16(cmap, ends + 2 * s);
    uint32_t delta = be16(cmap, deltas + 2 * s), range = be16(cmap, ranges + 2 * s);
    for (uint32_t c = start; c <= end && c != 0xFFFF; ++c) {
      uint32_t glyph = range == 0 ? c : be16(cmap, ranges + 2 * s + range + 2 * (c - start));
      if (range != 0 && glyph == 0) continue;
      map[c] = (glyph + delta) & 0xFFFF;
    }
  }
  return map;
}

uint32_t glyphCount(const std::vector<uint8_t>& font) { return be16(tableBytes(font, "maxp"), 4); }

uint32_t advanceOf(const std::vector<uint8_t>& font, uint32_t glyphId) {
  return be16(tableBytes(font, "hmtx"), 4 * glyphId);
}

// The glyf record of one glyph, located through loca.
std::vector<uint8_t> glyphRecord(const std::vector<uint8_t>& font, uint32_t glyphId) {
  bool longOffsets = be16(tableBytes(font, "head"), 50) == 1;
  std::vector<uint8_t> loca = tableBytes(font, "loca"), glyf = tableBytes(font, "glyf");
  auto at = [&](uint32_t i) { return longOffsets ? be32(loca, 4 * i) : 2 * be16(loca, 2 * i); };
  return {glyf.begin() + at(glyphId), glyf.begin() + at(glyphId + 1)};
}

std::map<uint32_t, std::string> nameRecords(const std::vector<uint8_t>& font) {
  std::vector<uint8_t> name = tableBytes(font, "name");
  std::map<uint32_t, std::string> names;
  size_t storage = be16(name, 4);
  for (uint32_t i = 0; i < be16(name, 2); ++i) {
    size_t record = 6 + 12 * i;
    EXPECT_EQ(be16(name, record), 3u);
    EXPECT_EQ(be16(name, record + 4), 0x0409u);
    std::string text;  // ASCII names only in these tests
    for (uint32_t k = 0; k < be16(name, record + 8); k += 2)
      text.push_back(char(be16(name, storage + be16(name, record + 10) + k)));
    names[be16(name, record + 6)] = text;
  }
  return names;
}

FontDocument fullJapaneseDocument() {
  FontDocument document(FontType::Japanese, "Full");
  for (uint16_t code : document.codeOrder().codes())
    document.setGlyph(code, glyphOf({canvasSquare(code % 400, 10, code % 400 + 50, 90)}));
  return document;
}

}  // namespace

TEST(TrueTypeFile, DirectoryIsSortedAlignedAndChecksummed) {
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
    EXPECT_EQ(wordSum(data, 0, data.size()), entry.checksum) << tag;
  }
  EXPECT_EQ(wordSum(font, 0, font.size()), 0xB1B0AFBAu);
  EXPECT_EQ((std::set<std::string>{"OS/2", "cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp",
                                   "name", "post"}
                 .size()),
            tableDirectory(font).size());
}

TEST(TrueTypeFile, SameDocumentGivesSameBytes) {
  EXPECT_EQ(compileTrueType(japaneseDocument()), compileTrueType(japaneseDocument()));
  FontDocument document = latinDocument();
  EXPECT_EQ(compileTrueType(document), compileTrueType(document));
}

TEST(TrueTypeFile, HeadCarriesFixedDatesAndTheEm) {
  std::vector<uint8_t> head = tableBytes(compileTrueType(latinDocument()), "head");
  ASSERT_EQ(head.size(), 54u);
  EXPECT_EQ(be32(head, 12), 0x5F0F3CF5u);
  EXPECT_EQ(be16(head, 18), 2048u);
  uint64_t created = uint64_t(be32(head, 20)) << 32 | be32(head, 24);
  uint64_t modified = uint64_t(be32(head, 28)) << 32 | be32(head, 32);
  EXPECT_EQ(created, 3786912000u);  // 2024-01-01 00:00 UTC since 1904
  EXPECT_EQ(modified, created);
}

TEST(TrueTypeGlyf, SquareUsesShortVectorsAndSameFlags) {
  FontDocument document(FontType::Latin, "g");
  document.setGlyph('A', glyphOf({{{0, 0}, {0, 100}, {100, 100}, {100, 0}}}));
  const std::vector<uint8_t> expected = {0x00, 0x01, 0x00, 0x00, 0x00,
                                         0x00, 0x00, 0x64, 0x00, 0x64,  // 1 contour, box
                                         0x00, 0x03, 0x00, 0x00,        // endPts, no code
                                         0x31, 0x35, 0x33, 0x15,        // flags
                                         0x64,                          // x: +100
                                         0x64, 0x64,                    // y: +100, -100
                                         0x00, 0x00, 0x00};             // padding to 4 bytes
  EXPECT_EQ(glyphRecord(compileTrueType(document), 2), expected);
}

TEST(TrueTypeGlyf, RepeatsFlagsAndWritesLongAndNegativeSteps) {
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
  EXPECT_EQ(tableBytes(small, "loca").size(), 2 * (glyphCount(small) + 1));
  EXPECT_EQ(2 * be16(tableBytes(small, "loca"), 2 * glyphCount(small)),
            tableBytes(small, "glyf").size());

  std::vector<uint8_t> large = compileTrueType(fullJapaneseDocument());
  ASSERT_GT(tableBytes(large, "glyf").size(), 0x1FFFEu);
  EXPECT_EQ(sbe16(tableBytes(large, "head"), 50), 1);
  EXPECT_EQ(tableBytes(large, "loca").size(), 4 * (glyphCount(large) + 1));
  EXPECT_EQ(be32(tableBytes(large, "loca"), 4 * glyphCount(large)),
            tableBytes(large, "glyf").size());
}

TEST(TrueTypeGlyphOrder, NotdefAndSpaceComeFirstThenCodeOrder) {
  std::vector<uint8_t> font = compileTrueType(latinDocument());
  EXPECT_EQ(glyphCount(font), 6u);
  std::map<uint32_t, uint32_t> expected = {{0x20, 1}, {'A', 2}, {'B', 3}, {0x20AC, 4}, {0xE9, 5}};
  EXPECT_EQ(windowsCharacterMap(font), expected);
  EXPECT_EQ(advanceOf(font, 1), 512u);
  EXPECT_EQ(glyphRecord(font, 1).size(), 0u);    // the space has no outline
  EXPECT_EQ(be16(glyphRecord(font, 0), 0), 2u);  // .notdef: a box with a hole
}

TEST(TrueTypeGlyphOrder, SetAdvancesAreKeptAndBareGlyphsLeftOut) {
  FontDocument document(FontType::Latin, "adv");
  Glyph space;
  space.advance = 700;
  space.advanceSet = true;
  document.setGlyph(' ', space);
  Glyph narrow = space;
  narrow.advance = 300;
  document.setGlyph('C', narrow);
  document.setGlyph('D', Glyph{});  // neither contours nor a set advance
  std::vector<uint8_t> font = compileTrueType(document);
  EXPECT_EQ(glyphCount(font), 3u);
  EXPECT_EQ(advanceOf(font, 1), 700u);
  EXPECT_EQ(advanceOf(font, 2), 300u);
  EXPECT_EQ(windowsCharacterMap(font), (std::map<uint32_t, uint32_t>{{0x20, 1}, {'C', 2}}));
}

TEST(TrueTypeCmap, OneSubtableServesUnicodeAndWindows) {
  std::vector<uint8_t> cmap = tableBytes(compileTrueType(japaneseDocument()), "cmap");
  ASSERT_EQ(be16(cmap, 2), 2u);
  EXPECT_EQ(be16(cmap, 4), 0u);
  EXPECT_EQ(be16(cmap, 6), 3u);
  EXPECT_EQ(be16(cmap, 12), 3u);
  EXPECT_EQ(be16(cmap, 14), 1u);
  EXPECT_EQ(be32(cmap, 8), be32(cmap, 16));
  EXPECT_EQ(be16(cmap, be32(cmap, 8) + 2) + be32(cmap, 8), cmap.size());  // subtable length
}

TEST(TrueTypeCmap, FullJapaneseDocumentMapsEveryCharacterOnce) {
  FontDocument document = fullJapaneseDocument();
  std::set<uint32_t> characters;
  for (uint16_t code : document.codeOrder().codes())
    characters.insert(*codepage::toUnicode(codepage::CodePage::Cp932, code));
  std::vector<uint8_t> font = compileTrueType(document);
  std::map<uint32_t, uint32_t> map = windowsCharacterMap(font);
  EXPECT_EQ(map.size(), characters.size());
  EXPECT_EQ(glyphCount(font), characters.size() + 1);  // and .notdef
  std::set<uint32_t> glyphs;
  for (const auto& [unicode, glyph] : map) {
    EXPECT_TRUE(characters.count(unicode)) << std::hex << unicode;
    EXPECT_GT(glyph, 0u);
    glyphs.insert(glyph);
  }
  EXPECT_EQ(glyphs.size(), map.size());  // no glyph serves two characters
}

TEST(TrueTypeCmap, SharedCharacterTakesTheCodePagesOwnCode) {
  // CP932 codes 0xED40 (NEC-selected IBM row) and 0xFA5C (IBM row) are both U+7E8A;
  // the code page writes U+7E8A as 0xFA5C.
  FontDocument both(FontType::Japanese, "dup");
  Glyph nec = glyphOf({canvasSquare(0, 0, 10, 10)});
  nec.advance = 1000;
  nec.advanceSet = true;
  Glyph ibm = glyphOf({canvasSquare(0, 0, 20, 20)});
  ibm.advance = 1100;
  ibm.advanceSet = true;
  both.setGlyph(0xED40, nec);
  both.setGlyph(0xFA5C, ibm);
  std::vector<uint8_t> font = compileTrueType(both);
  EXPECT_EQ(glyphCount(font), 3u);
  EXPECT_EQ(advanceOf(font, windowsCharacterMap(font).at(0x7E8A)), 1100u);

  FontDocument necOnly(FontType::Japanese, "dup");
  necOnly.setGlyph(0xED40, nec);
  font = compileTrueType(necOnly);
  EXPECT_EQ(advanceOf(font, windowsCharacterMap(font).at(0x7E8A)), 1000u);
}

TEST(TrueTypeMetrics, Os2NamesCodePagesAndCharacterRange) {
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

  std::vector<uint8_t> japanese = tableBytes(compileTrueType(japaneseDocument()), "OS/2");
  EXPECT_EQ(be32(japanese, 78), (1u << 17) | 1u);  // JIS/Japan and Latin 1
  EXPECT_EQ(be16(japanese, 66), 0xFF71u);
  EXPECT_EQ(be32(japanese, 46), (1u << (49 - 32)) | (1u << (59 - 32)));  // kana, kanji
  EXPECT_EQ(be32(japanese, 50), 1u << (68 - 64));                        // half-width forms
}

TEST(TrueTypeMetrics, WindowsMetricsCoverEveryOutline) {
  FontDocument document(FontType::Latin, "tall");
  document.setGlyph('T', glyphOf({{{0, -600}, {0, 2000}, {100, 2000}, {100, -600}}}));
  std::vector<uint8_t> os2 = tableBytes(compileTrueType(document), "OS/2");
  EXPECT_EQ(be16(os2, 74), 2000u);  // usWinAscent
  EXPECT_EQ(be16(os2, 76), 600u);   // usWinDescent
  std::vector<uint8_t> plain = tableBytes(compileTrueType(latinDocument()), "OS/2");
  EXPECT_EQ(be16(plain, 74), 1768u);
  EXPECT_EQ(be16(plain, 76), 280u);
}

TEST(TrueTypeMetrics, MaxpAndHheaFollowTheOutlines) {
  FontDocument document = latinDocument();
  Contour twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back({i * 10, (i % 2) * 50, i % 3 != 0});
  document.setGlyph('M', glyphOf({twelve, canvasSquare(0, 0, 1, 1), canvasSquare(3, 3, 4, 4)}));
  std::vector<uint8_t> font = compileTrueType(document);
  std::vector<uint8_t> maxp = tableBytes(font, "maxp"), hhea = tableBytes(font, "hhea");
  ASSERT_EQ(maxp.size(), 32u);
  EXPECT_EQ(be32(maxp, 0), 0x00010000u);
  EXPECT_EQ(be16(maxp, 6), 20u);  // maxPoints: 12 + 4 + 4
  EXPECT_EQ(be16(maxp, 8), 3u);   // maxContours
  EXPECT_EQ(sbe16(hhea, 4), 1768);
  EXPECT_EQ(sbe16(hhea, 6), -280);
  EXPECT_EQ(be16(hhea, 10), 2048u);  // advanceWidthMax
  EXPECT_EQ(be16(hhea, 34), glyphCount(font));
  EXPECT_EQ(tableBytes(font, "hmtx").size(), 4 * glyphCount(font));
  EXPECT_EQ(be32(tableBytes(font, "post"), 0), 0x00030000u);
}

TEST(TrueTypeName, RecordsCarryFamilyStyleVersionAndPostScriptName) {
  std::map<uint32_t, std::string> names = nameRecords(compileTrueType(latinDocument()));
  EXPECT_EQ(names[1], "Brush Latin");
  EXPECT_EQ(names[2], "Regular");
  EXPECT_EQ(names[4], "Brush Latin");
  EXPECT_EQ(names[5], "Version 1.000");
  EXPECT_EQ(names[6], "BrushLatin-Regular");
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
  Status limits = kernova::sfnt::checkTrueTypeLimits(document);
  ASSERT_FALSE(limits);
  EXPECT_NE(limits.message().find("0x0041"), std::string::npos) << limits.message();
  EXPECT_NE(limits.message().find("70004 points"), std::string::npos) << limits.message();
  // The first contour alone is beyond the limit: it is dropped, the square kept.
  std::vector<uint8_t> glyph = glyphRecord(compileTrueType(document), 2);
  EXPECT_EQ(be16(glyph, 0), 1u);
}

TEST(TrueTypeLimits, StepsBeyondSixteenBitsAreRefusedOrPulledIn) {
  FontDocument document(FontType::Latin, "far");
  document.setGlyph('A', glyphOf({{{-30000, 0}, {30000, 0}, {30000, 10}}}));
  EXPECT_FALSE(kernova::sfnt::checkTrueTypeLimits(document));
  std::vector<uint8_t> glyph = glyphRecord(compileTrueType(document), 2);
  EXPECT_EQ(sbe16(glyph, 2), -16383);  // xMin
  EXPECT_EQ(sbe16(glyph, 6), 16383);   // xMax

  FontDocument farButEven(FontType::Latin, "far");
  farButEven.setGlyph('A', glyphOf({{{30000, 0}, {30100, 0}, {30100, 10}}}));
  EXPECT_TRUE(kernova::sfnt::checkTrueTypeLimits(farButEven));
}

TEST(TrueTypeSave, WritesTheCompiledBytesAndLeavesNoTemporary) {
  TempDir dir;
  std::string path = dir.file("font.ttf");
  FontDocument document = japaneseDocument();
  ASSERT_TRUE(saveTrueType(document, path));
  EXPECT_EQ(readFile(path), compileTrueType(document));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TrueTypeSave, ReplacingAFontKeepsItsPermissions) {
  TempDir dir;
  std::string path = dir.file("font.ttf");
  writeFile(path, {1, 2, 3});
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(saveTrueType(latinDocument(), path));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(readFile(path), compileTrueType(latinDocument()));
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
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory(folder + "/keep");
  Status overFolder = saveTrueType(latinDocument(), folder);
  EXPECT_FALSE(overFolder);
  EXPECT_NE(overFolder.message().find("folder.ttf"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/keep"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

  EXPECT_FALSE(saveTrueType(latinDocument(), dir.file("missing/font.ttf")));
  EXPECT_FALSE(saveTrueType(latinDocument(), ""));
}
