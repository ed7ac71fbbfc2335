// Reading fonts back: round trips, document type and names, shared characters,
// scaling, and a corpus of broken files (hostile bytes are fuzz_truetype's).
#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"

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
  document.setGlyph('D', Glyph{});
  return document;
}

}  // namespace

TEST(TrueTypeRoundTrip, WriteReadWriteGivesIdenticalBytes) {
  FontDocument big = everyJapaneseCode();
  for (uint16_t code : big.codeOrder().codes())
    big.glyphForEdit(code).contours.push_back(quadraticHump(code % 50));
  for (const FontDocument& document :
       {latinDocument(), japaneseDocument(), roundedShapes(),
        FontDocument(FontType::Latin, "Empty"), FontDocument(FontType::Japanese, "Empty"), big}) {
    std::vector<uint8_t> first = compileTrueType(document);
    EXPECT_EQ(compileTrueType(*read(first)), first) << document.name();
  }
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
  // The 'O' keeps its default advance unmarked; the space comes back with its 512; the
  // bare 'D' (no outline, no advance) was left out.
  EXPECT_FALSE(back->glyph('O')->advanceSet);
  ASSERT_NE(back->glyph(' '), nullptr);
  EXPECT_EQ(back->glyph(' ')->advance, 512);
  EXPECT_TRUE(back->glyph(' ')->advanceSet);
  EXPECT_EQ(back->glyphs().size(), 4u);
}

// The document type comes from the code pages the font covers, and every glyph comes
// back at its code.
TEST(TrueTypeDocumentType, TypeAndCodesComeBack) {
  // U+00A7 is 0xA7 in CP1252 and the double-byte 0x8198 in CP932.
  FontDocument section(FontType::Latin, "Section");
  section.setGlyph(0xA7, glyphOf({canvasSquare(0, 0, 10, 10)}));
  FontDocument letters(FontType::Japanese, "Letters");
  letters.setGlyph('A', glyphOf({canvasSquare(0, 0, 10, 10)}));
  const struct {
    FontDocument document;
    FontType type;
  } cases[] = {{japaneseDocument(), FontType::Japanese},
               {letters, FontType::Japanese},
               {section, FontType::Latin}};
  for (const auto& [document, type] : cases) {
    std::unique_ptr<FontDocument> back = read(compileTrueType(document));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->type(), type) << document.name();
    EXPECT_EQ(back->name(), document.name());
    for (const auto& [code, glyph] : document.glyphs()) {
      ASSERT_NE(back->glyph(code), nullptr) << std::hex << code;
      EXPECT_EQ(back->glyph(code)->contours, glyph.contours) << std::hex << code;
    }
  }
}

TEST(TrueTypeDocumentType, KanaWithoutTheJisBitIsStillJapanese) {
  std::vector<uint8_t> font = compileTrueType(japaneseDocument());
  put16(font, tableOffset(font, "OS/2") + 78, 0);  // ulCodePageRange1 high half: no JIS bit
  put16(font, tableOffset(font, "OS/2") + 80, 1);
  std::unique_ptr<FontDocument> back = read(font);
  EXPECT_EQ(back->type(), FontType::Japanese);
  EXPECT_NE(back->glyph(0x82A0), nullptr);
}

// CP932 codes 0xED40 (NEC-selected IBM row) and 0xFA5C (IBM row) are both U+7E8A; the
// code page writes U+7E8A as 0xFA5C, the code the order keeps. A glyph at 0xED40 is
// not written, so 0xFA5C's comes back.
TEST(TrueTypeDocumentType, SharedCharacterComesBackAtTheCodePagesOwnCode) {
  FontDocument both(FontType::Japanese, "dup");
  both.setGlyph(0xED40, glyphOf({canvasSquare(0, 0, 10, 10)}));
  both.setGlyph(0xFA5C, glyphOf({canvasSquare(0, 0, 20, 20)}));
  std::unique_ptr<FontDocument> back = read(compileTrueType(both));
  EXPECT_EQ(back->glyph(0xED40), nullptr);
  ASSERT_NE(back->glyph(0xFA5C), nullptr);
  EXPECT_EQ(back->glyph(0xFA5C)->contours, both.glyph(0xFA5C)->contours);
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

TEST(TrueTypeForeignFonts, InstalledFontsOpenWithTheirType) {
  // CP932 codes Greek and Cyrillic in two bytes; that does not make Liberation Japanese.
  const struct {
    std::string path, name;
    FontType type;
    uint16_t code;
  } fonts[] = {
      {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "IPAGothic", FontType::Japanese,
       0x82A0},
      {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", "Liberation Sans",
       FontType::Latin, 0x80},
  };
  for (const auto& font : fonts) {
    if (!std::filesystem::exists(font.path)) continue;  // not every machine has them
    std::unique_ptr<FontDocument> document;
    Status status = loadTrueType(font.path, document);
    ASSERT_TRUE(status) << status.message();
    EXPECT_EQ(document->type(), font.type);
    EXPECT_EQ(document->name(), font.name);
    ASSERT_NE(document->glyph(font.code), nullptr) << font.name;
    EXPECT_FALSE(document->glyph(font.code)->contours.empty());
  }
}

TEST(TrueTypeBadFiles, EmptyShortForeignAndTruncatedFontsAreRefused) {
  EXPECT_NE(readStatus({}).message().find("empty"), std::string::npos);
  const std::vector<uint8_t> font = compileTrueType(japaneseDocument());
  std::vector<uint8_t> otto = font, wrongMagic = font;
  otto[0] = 'O', otto[1] = 'T', otto[2] = 'T', otto[3] = 'O';
  EXPECT_NE(readStatus(otto).message().find("CFF"), std::string::npos);
  wrongMagic[0] = 'P', wrongMagic[1] = 'K';
  EXPECT_NE(readStatus(wrongMagic).message().find("not a TrueType font"), std::string::npos);
  for (size_t length : {size_t(5), size_t(12), size_t(100), font.size() / 2,
                        size_t(tableOffset(font, "glyf") + 10)}) {
    std::vector<uint8_t> cut(font.begin(), font.begin() + long(length));
    EXPECT_FALSE(readStatus(cut)) << length;
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

TEST(TrueTypeFiles, LoadSetsThePathAndRefusesMissingFilesFoldersAndEmptyFiles) {
  TempDir dir;
  std::string path = dir.file("saved.ttf");
  ASSERT_TRUE(kernova::saveTrueType(latinDocument(), path));
  std::unique_ptr<FontDocument> document;
  ASSERT_TRUE(loadTrueType(path, document));
  EXPECT_EQ(document->filePath(), path);
  EXPECT_FALSE(document->modified());
  EXPECT_EQ(document->glyph('B')->contours, latinDocument().glyph('B')->contours);

  document.reset();
  Status missing = loadTrueType(dir.file("none.ttf"), document);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.message().find("none.ttf"), std::string::npos);
  EXPECT_FALSE(loadTrueType(dir.path().string(), document));
  writeFile(dir.file("zero.ttf"), {});
  EXPECT_FALSE(loadTrueType(dir.file("zero.ttf"), document));
  EXPECT_EQ(document, nullptr);
}
