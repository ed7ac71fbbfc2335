// Reading fonts back: round trips, document type, shared characters, scaling, fonts
// made elsewhere and broken files (hostile bytes are fuzz_truetype's).
#include <map>
#include <tuple>

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;
using kernova::loadTrueType;

namespace {

// The document read from `bytes`; null, the failure in `error`, when refused.
std::unique_ptr<FontDocument> read(const Bytes& bytes, std::string* error = nullptr) {
  std::unique_ptr<FontDocument> document;
  Status status = kernova::loadTrueTypeFromMemory(bytes, document);
  if (error) *error = status.message();
  EXPECT_TRUE(status || error) << status.message();
  EXPECT_EQ(status.ok(), document != nullptr);
  return document;
}

// An all-off-curve 'O' with a hole, an 'i' with its own advance, a blank '_' whose
// advance is set though it equals the default, and a bare 'D' that is not written.
FontDocument roundedShapes() {
  FontDocument document(FontType::Latin, "Shapes");
  document.setGlyph('O', glyphOf({{{0, 0}, {0, 800, false}, {800, 800, false}, {800, 0, false}},
                                  {{200, 200}, {600, 200, false}, {600, 600, false}, {200, 600, false}}}));
  document.setGlyph('i', Glyph{{canvasSquare(10, 300, 60, 442)}, 300, true});
  document.setGlyph('_', Glyph{{}, kernova::kDefaultAdvance, true});
  document.setGlyph('D', Glyph{});
  return document;
}

}  // namespace

// Written and read back, a document gives the same bytes again, and its type, name and
// glyphs with their advances come back (plus the space's 512). The type comes from the
// code pages the font covers: U+00A7 is 0xA7 in CP1252 and the double-byte 0x8198 in
// CP932, yet a font with it stays Latin.
TEST(TrueTypeRoundTrip, DocumentsComeBackAsWritten) {
  FontDocument section(FontType::Latin, "Section"), letters(FontType::Japanese, "Letters");
  section.setGlyph(0xA7, glyphOf({canvasSquare(0, 0, 10, 10)}));
  letters.setGlyph('A', glyphOf({canvasSquare(0, 0, 10, 10)}));
  const std::pair<FontDocument, FontType> cases[] = {
      {roundedShapes(), FontType::Latin},       {section, FontType::Latin}, {latinDocument(), FontType::Latin},
      {japaneseDocument(), FontType::Japanese}, {letters, FontType::Japanese}};
  for (const auto& [document, type] : cases) {
    Bytes written = compileTrueType(document);
    std::unique_ptr<FontDocument> back = read(written);
    EXPECT_EQ(compileTrueType(*back), written) << document.name();
    EXPECT_EQ(back->type(), type) << document.name();
    EXPECT_EQ(back->name(), document.name());
    EXPECT_FALSE(back->modified());
    EXPECT_EQ(back->filePath(), "");
    std::map<uint16_t, Glyph> expected = document.glyphs();
    expected.erase('D');
    expected[' '] = Glyph{{}, 512, true};
    EXPECT_EQ(back->glyphs(), expected) << document.name();
  }
  // Every code: thousands of cmap segments, consecutive characters on distant glyphs.
  Bytes every = compileTrueType(everyJapaneseCode());
  EXPECT_EQ(compileTrueType(*read(every)), every);
  Bytes font = compileTrueType(japaneseDocument());
  put16(font, tableOffset(font, "OS/2") + 78, 0);  // ulCodePageRange1: no JIS bit, the kana decide
  EXPECT_EQ(read(font)->type(), FontType::Japanese);
}

// FreeType holds 32756 points per glyph at most: the largest glyph the check allows opens again.
TEST(TrueTypeRoundTrip, GlyphAtThePointLimitOpensAgain) {
  FontDocument document(FontType::Latin, "dense");
  Contour dense;
  for (int i = 0; i < 32756; ++i) dense.push_back({i % 2000, i / 2000 * 10, i % 3 != 0});
  document.setGlyph('A', glyphOf({dense}));
  ASSERT_TRUE(kernova::sfnt::checkTrueTypeLimits(document));
  EXPECT_EQ(read(compileTrueType(document))->glyph('A')->contours, document.glyph('A')->contours);
  document.glyphForEdit('A').contours.push_back({{0, 0}});
  EXPECT_FALSE(kernova::sfnt::checkTrueTypeLimits(document));
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

TEST(TrueTypeForeignFonts, OtherUnitsPerEmAreScaledAndInstalledFontsOpenWithTheirType) {
  Bytes font = compileTrueType(latinDocument());
  put16(font, tableOffset(font, "head") + 18, 1024);
  std::unique_ptr<FontDocument> back = read(font);
  EXPECT_EQ(back->glyph('B')->contours.at(0)[1], (Point{400, 800, false}));
  EXPECT_EQ(back->glyph('B')->advance, 4096);
  // CP932 codes Greek and Cyrillic in two bytes; that does not make Liberation Japanese.
  const std::tuple<std::string, std::string, FontType, uint16_t> fonts[] = {
      {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "IPAゴシック", FontType::Japanese, 0x82A0},
      {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", "Liberation Sans", FontType::Latin, 0x80}};
  for (const auto& [path, name, type, code] : fonts) {
    if (!std::filesystem::exists(path)) continue;  // not every machine has them
    std::unique_ptr<FontDocument> document;
    ASSERT_TRUE(loadTrueType(path, document));
    EXPECT_EQ(document->type(), type);
    EXPECT_EQ(document->name(), name);
    EXPECT_FALSE(document->glyph(code)->contours.empty()) << name;
  }
}

TEST(TrueTypeBadFiles, ForeignCutAndDamagedFontsAreRefusedWithTheirFault) {
  const Bytes font = compileTrueType(latinDocument());
  auto with = [&](auto change) { Bytes f = font; change(f); return f; };
  auto cut = [&](size_t length) { return Bytes(font.begin(), font.begin() + long(length)); };
  const std::pair<Bytes, std::string> cases[] = {
      {{}, "empty"}, {cut(5), "too short"}, {cut(100), ""}, {cut(font.size() / 2), ""},
      {cut(tableOffset(font, "glyf") + 10), ""},
      {with([](Bytes& f) { f[0] = 'O', f[1] = 'T', f[2] = 'T', f[3] = 'O'; }), "CFF"},
      {with([](Bytes& f) { f[0] = 'P', f[1] = 'K'; }), "not a TrueType font"},
      // Glyph 2 ('A') claims 30000 contours.
      {with([](Bytes& f) { put16(f, tableOffset(f, "glyf") + 2 * be16(tableBytes(f, "loca"), 4), 30000); }),
       "Glyph 2"}};
  for (const auto& [bytes, expected] : cases) {
    std::string error;
    EXPECT_EQ(read(bytes, &error), nullptr) << bytes.size();
    EXPECT_NE(error.find(expected), std::string::npos) << error;
  }
}

// Loading a saved font and its path are DocumentSet's tests'.
TEST(TrueTypeFiles, MissingFilesFoldersAndEmptyFilesAreRefused) {
  TempDir dir;
  std::unique_ptr<FontDocument> document;
  EXPECT_NE(loadTrueType(dir.file("none.ttf"), document).message().find("none.ttf"), std::string::npos);
  EXPECT_FALSE(loadTrueType(dir.path().string(), document));
  writeFile(dir.file("zero.ttf"), {});
  EXPECT_FALSE(loadTrueType(dir.file("zero.ttf"), document));
  EXPECT_EQ(document, nullptr);
}
