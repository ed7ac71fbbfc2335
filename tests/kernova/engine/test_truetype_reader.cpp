// Reading fonts back: round trips, document type and names, scaling, and a corpus of
// broken and hostile files.
#include <random>

#include "kernova/engine/TrueType.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::loadTrueType;
using kernova::loadTrueTypeFromMemory;

namespace {

std::unique_ptr<FontDocument> read(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<FontDocument> document;
  Status status = loadTrueTypeFromMemory(bytes, document);
  EXPECT_TRUE(status) << status.message();
  return document;
}

Status readStatus(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<FontDocument> document;
  Status status = loadTrueTypeFromMemory(bytes, document);
  EXPECT_EQ(status.ok(), document != nullptr);
  return status;
}

size_t tableOffset(const std::vector<uint8_t>& font, const std::string& tag) {
  return tableDirectory(font).at(tag).offset;
}

FontDocument roundedShapes() {
  FontDocument document(FontType::Latin, "Shapes");
  document.setGlyph(
      'O', glyphOf({{{0, 0}, {0, 800, false}, {800, 800, false}, {800, 0, false}},
                    {{200, 200}, {600, 200, false}, {600, 600, false}, {200, 600, false}}}));
  Glyph narrow = glyphOf({canvasSquare(10, 300, 60, 442)});
  narrow.advance = 300;
  narrow.advanceSet = true;
  document.setGlyph('i', narrow);
  Glyph blank;
  blank.advance = kernova::kDefaultAdvance;  // set, though equal to the default
  blank.advanceSet = true;
  document.setGlyph('_', blank);
  return document;
}

}  // namespace

TEST(TrueTypeRoundTrip, WriteReadWriteGivesIdenticalBytes) {
  FontDocument big(FontType::Japanese, "Big");
  for (uint16_t code : big.codeOrder().codes())
    big.setGlyph(code, glyphOf({canvasSquare(code % 97, 10, code % 97 + 300, 300),
                                quadraticHump(code % 50)}));
  for (FontDocument (*make)() : {latinDocument, japaneseDocument, roundedShapes}) {
    std::vector<uint8_t> first = compileTrueType(make());
    EXPECT_EQ(compileTrueType(*read(first)), first);
  }
  for (FontType type : {FontType::Latin, FontType::Japanese}) {
    std::vector<uint8_t> first = compileTrueType(FontDocument(type, "Empty"));
    EXPECT_EQ(compileTrueType(*read(first)), first);
  }
  std::vector<uint8_t> first = compileTrueType(big);
  EXPECT_EQ(compileTrueType(*read(first)), first);
}

TEST(TrueTypeRoundTrip, GlyphAtThePointLimitOpensAgain) {
  FontDocument document(FontType::Latin, "dense");
  Contour dense;
  for (int i = 0; i < 32756; ++i) dense.push_back({i % 2000, i / 2000 * 10, i % 3 != 0});
  document.setGlyph('A', glyphOf({dense}));
  ASSERT_TRUE(kernova::sfnt::checkTrueTypeLimits(document));
  std::unique_ptr<FontDocument> back = read(compileTrueType(document));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->glyph('A')->contours, document.glyph('A')->contours);
  document.glyphForEdit('A').contours.push_back({{0, 0}});
  EXPECT_FALSE(kernova::sfnt::checkTrueTypeLimits(document));
}

TEST(TrueTypeRoundTrip, OutlinesAdvancesAndNameComeBackAsWritten) {
  FontDocument original = roundedShapes();
  std::unique_ptr<FontDocument> back = read(compileTrueType(original));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->type(), FontType::Latin);
  EXPECT_EQ(back->name(), "Shapes");
  EXPECT_FALSE(back->modified());
  EXPECT_EQ(back->filePath(), "");
  for (uint16_t code : {uint16_t('O'), uint16_t('i'), uint16_t('_')}) {
    ASSERT_NE(back->glyph(code), nullptr) << code;
    EXPECT_EQ(*back->glyph(code), *original.glyph(code)) << code;
  }
  // The 'O' keeps its default advance unmarked; the space comes back with its 512.
  EXPECT_FALSE(back->glyph('O')->advanceSet);
  ASSERT_NE(back->glyph(' '), nullptr);
  EXPECT_EQ(back->glyph(' ')->advance, 512);
  EXPECT_TRUE(back->glyph(' ')->advanceSet);
  EXPECT_EQ(back->glyphs().size(), 4u);
}

TEST(TrueTypeRoundTrip, JapaneseNameAndCodesComeBack) {
  std::unique_ptr<FontDocument> back = read(compileTrueType(japaneseDocument()));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->type(), FontType::Japanese);
  EXPECT_EQ(back->name(), "あ");
  for (uint16_t code : {uint16_t(0x82A0), uint16_t(0x889F), uint16_t(0xB1), uint16_t('A')})
    EXPECT_EQ(back->glyph(code)->contours, japaneseDocument().glyph(code)->contours)
        << std::hex << code;
}

TEST(TrueTypeRoundTrip, LoadFromAFileSetsThePathAndLeavesTheDocumentUnmodified) {
  TempDir dir;
  std::string path = dir.file("saved.ttf");
  ASSERT_TRUE(kernova::saveTrueType(latinDocument(), path));
  std::unique_ptr<FontDocument> document;
  ASSERT_TRUE(loadTrueType(path, document));
  EXPECT_EQ(document->filePath(), path);
  EXPECT_FALSE(document->modified());
  EXPECT_EQ(document->glyph('B')->contours, latinDocument().glyph('B')->contours);
}

TEST(TrueTypeDocumentType, JapaneseDocumentOfLatinLettersStaysJapanese) {
  FontDocument document(FontType::Japanese, "Letters");
  document.setGlyph('A', glyphOf({canvasSquare(0, 0, 10, 10)}));
  EXPECT_EQ(read(compileTrueType(document))->type(), FontType::Japanese);
}

TEST(TrueTypeDocumentType, LatinCharactersThatCp932AlsoCodesStayLatin) {
  // U+00A7 is 0xA7 in CP1252 and the double-byte 0x8198 in CP932.
  FontDocument document(FontType::Latin, "Section");
  document.setGlyph(0xA7, glyphOf({canvasSquare(0, 0, 10, 10)}));
  std::unique_ptr<FontDocument> back = read(compileTrueType(document));
  EXPECT_EQ(back->type(), FontType::Latin);
  EXPECT_NE(back->glyph(0xA7), nullptr);
}

TEST(TrueTypeDocumentType, KanaWithoutTheJisBitIsStillJapanese) {
  std::vector<uint8_t> font = compileTrueType(japaneseDocument());
  put16(font, tableOffset(font, "OS/2") + 78, 0);  // ulCodePageRange1 high half: no JIS bit
  put16(font, tableOffset(font, "OS/2") + 80, 1);
  std::unique_ptr<FontDocument> back = read(font);
  EXPECT_EQ(back->type(), FontType::Japanese);
  EXPECT_NE(back->glyph(0x82A0), nullptr);
}

TEST(TrueTypeDocumentType, SharedCharacterComesBackAtTheCodePagesOwnCode) {
  FontDocument document(FontType::Japanese, "dup");
  document.setGlyph(0xED40, glyphOf({canvasSquare(0, 0, 10, 10)}));  // U+7E8A, like 0xFA5C
  std::unique_ptr<FontDocument> back = read(compileTrueType(document));
  EXPECT_EQ(back->glyph(0xED40), nullptr);
  ASSERT_NE(back->glyph(0xFA5C), nullptr);
  EXPECT_EQ(back->glyph(0xFA5C)->contours, document.glyph(0xED40)->contours);
}

TEST(TrueTypeScaling, OtherUnitsPerEmAreScaledTo2048) {
  std::vector<uint8_t> font = compileTrueType(latinDocument());
  put16(font, tableOffset(font, "head") + 18, 1024);
  std::unique_ptr<FontDocument> back = read(font);
  ASSERT_TRUE(back);
  const Contour& hump = back->glyph('B')->contours.at(0);
  EXPECT_EQ(hump[1], (Point{400, 800, false}));
  EXPECT_EQ(back->glyph('B')->advance, 4096);
}

TEST(TrueTypeForeignFonts, InstalledJapaneseFontOpensAsJapanese) {
  const std::string path = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "IPAGothic is not installed";
  std::unique_ptr<FontDocument> document;
  Status status = loadTrueType(path, document);
  ASSERT_TRUE(status) << status.message();
  EXPECT_EQ(document->type(), FontType::Japanese);
  EXPECT_EQ(document->name(), "IPAGothic");
  ASSERT_NE(document->glyph(0x82A0), nullptr);
  EXPECT_FALSE(document->glyph(0x82A0)->contours.empty());
  EXPECT_GT(document->glyphs().size(), 6000u);
}

TEST(TrueTypeForeignFonts, LatinFontWithGreekAndCyrillicOpensAsLatin) {
  // CP932 codes Greek and Cyrillic in two bytes; that does not make a font Japanese.
  const std::string path = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "Liberation Sans is not installed";
  std::unique_ptr<FontDocument> document;
  ASSERT_TRUE(loadTrueType(path, document));
  EXPECT_EQ(document->type(), FontType::Latin);
  EXPECT_EQ(document->name(), "Liberation Sans");
  ASSERT_NE(document->glyph(0x80), nullptr);  // the euro sign
  EXPECT_FALSE(document->glyph(0x80)->contours.empty());
}

TEST(TrueTypeBadFiles, EmptyShortAndForeignFilesAreRefused) {
  EXPECT_NE(readStatus({}).message().find("empty"), std::string::npos);
  EXPECT_FALSE(readStatus({0, 1, 0, 0, 0}));
  std::vector<uint8_t> otto = compileTrueType(latinDocument());
  otto[0] = 'O', otto[1] = 'T', otto[2] = 'T', otto[3] = 'O';
  EXPECT_NE(readStatus(otto).message().find("CFF"), std::string::npos);
  std::vector<uint8_t> wrongMagic = compileTrueType(latinDocument());
  wrongMagic[0] = 'P', wrongMagic[1] = 'K';
  EXPECT_NE(readStatus(wrongMagic).message().find("not a TrueType font"), std::string::npos);
}

TEST(TrueTypeBadFiles, TruncatedFontsAreRefused) {
  std::vector<uint8_t> font = compileTrueType(japaneseDocument());
  for (size_t length :
       {size_t(12), size_t(100), font.size() / 2, size_t(tableOffset(font, "glyf") + 10)}) {
    std::vector<uint8_t> cut(font.begin(), font.begin() + long(length));
    EXPECT_FALSE(readStatus(cut)) << length;
  }
}

TEST(TrueTypeBadFiles, RandomJunkIsRefused) {
  std::mt19937 random(20240101);
  for (int round = 0; round < 50; ++round) {
    std::vector<uint8_t> junk(size_t(12 + random() % 4000));
    for (uint8_t& byte : junk) byte = uint8_t(random());
    if (round % 2 == 0) junk[0] = 0, junk[1] = 1, junk[2] = 0, junk[3] = 0;  // plausible header
    EXPECT_FALSE(readStatus(junk)) << round;
  }
}

TEST(TrueTypeBadFiles, DamagedGlyphIsReportedNotRead) {
  std::vector<uint8_t> font = compileTrueType(latinDocument());
  // Glyph 2 ('A') is the first after the .notdef box (8 points, 56 bytes) and the
  // empty space: claim 30000 contours for it.
  size_t glyf = tableOffset(font, "glyf");
  std::vector<uint8_t> loca = tableBytes(font, "loca");
  put16(font, glyf + 2 * be16(loca, 4), 30000);
  Status status = readStatus(font);
  EXPECT_FALSE(status);
  EXPECT_NE(status.message().find("Glyph 2"), std::string::npos) << status.message();
}

TEST(TrueTypeBadFiles, MissingFilesAndFoldersAreRefusedByName) {
  TempDir dir;
  std::unique_ptr<FontDocument> document;
  Status missing = loadTrueType(dir.file("none.ttf"), document);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.message().find("none.ttf"), std::string::npos);
  EXPECT_FALSE(loadTrueType(dir.path().string(), document));
  writeFile(dir.file("zero.ttf"), {});
  EXPECT_FALSE(loadTrueType(dir.file("zero.ttf"), document));
  EXPECT_EQ(document, nullptr);
}
