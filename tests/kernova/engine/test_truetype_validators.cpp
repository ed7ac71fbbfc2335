// Written fonts checked by outside validators: OTS (ots-sanitize), fontTools
// (/usr/bin/python3) and FreeType's rasteriser.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <climits>
#include <cstring>
#include <sstream>

#include "kernova/engine/TrueTypeWriter.h"
#include "common/codepage/CodePage.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::compileTrueType;

namespace {

// Decompiles every table with checksums enforced, re-derives the glyph boxes and the
// maxp, hhea and head summaries, and prints the glyph count and the Unicode map.
const char* kFontToolsCheck = R"(
import sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1], checkChecksums=2)
for tag in f.keys():
    f[tag]
glyf = f['glyf']
box = None
for name in f.getGlyphOrder():
    g = glyf[name]
    if g.numberOfContours <= 0:
        continue
    stored = (g.xMin, g.yMin, g.xMax, g.yMax)
    g.recalcBounds(glyf)
    assert stored == (g.xMin, g.yMin, g.xMax, g.yMax), name
    box = stored if box is None else (min(box[0], stored[0]), min(box[1], stored[1]),
                                      max(box[2], stored[2]), max(box[3], stored[3]))
head = f['head']
assert box == (head.xMin, head.yMin, head.xMax, head.yMax), (box, head.xMin)
for tag, fields in (('maxp', ('maxPoints', 'maxContours')),
                    ('hhea', ('advanceWidthMax', 'minLeftSideBearing',
                              'minRightSideBearing', 'xMaxExtent'))):
    before = [getattr(f[tag], x) for x in fields]
    f[tag].recalc(f)
    assert before == [getattr(f[tag], x) for x in fields], (tag, before)
names = f['name']
assert names.getDebugName(4) == names.getDebugName(1), names.getDebugName(4)
assert names.getDebugName(5) == 'Version 1.000', names.getDebugName(5)
cmap = f['cmap']
assert cmap.getcmap(0, 3).cmap == cmap.getcmap(3, 1).cmap
print(len(f.getGlyphOrder()))
for code, name in sorted(f.getBestCmap().items()):
    print('%X %d' % (code, f.getGlyphID(name)))
)";

struct FontToolsView {
  bool ok = false;
  std::string output;
  size_t glyphCount = 0;
  std::map<uint32_t, uint32_t> cmap;
};

FontToolsView fontToolsView(const std::string& path, const TempDir& dir) {
  std::string script = dir.file("check.py");
  writeFile(script,
            std::vector<uint8_t>(kFontToolsCheck, kFontToolsCheck + std::strlen(kFontToolsCheck)));
  CommandResult result = run("/usr/bin/python3 '" + script + "' '" + path + "'");
  FontToolsView view;
  view.ok = result.exitCode == 0;
  view.output = result.output;
  std::istringstream lines(result.output);
  lines >> view.glyphCount;
  std::string code;
  uint32_t glyph = 0;
  while (lines >> code >> glyph) view.cmap[uint32_t(std::stoul(code, nullptr, 16))] = glyph;
  return view;
}

struct Expectation {
  std::string label;
  FontDocument (*make)();
  size_t glyphCount;
  std::map<uint32_t, uint32_t> cmap;  // empty: only the count of entries is checked
  size_t cmapSize;
};

FontDocument emptyJapanese() { return FontDocument(FontType::Japanese, "空"); }

const std::vector<Expectation>& expectations() {
  static const std::vector<Expectation> all = {
      {"latin", latinDocument, 6, {{0x20, 1}, {'A', 2}, {'B', 3}, {0x20AC, 4}, {0xE9, 5}}, 5},
      {"japanese", japaneseDocument, 6,
       {{0x20, 1}, {'A', 2}, {0xFF71, 3}, {0x3042, 4}, {0x4E9C, 5}}, 5},
      {"empty_japanese", emptyJapanese, 2, {{0x20, 1}}, 1},
      // 7,484 codes, each its own character: one glyph per code and .notdef.
      {"every_japanese_code", everyJapaneseCode, 7485, {}, 7484},
  };
  return all;
}

class WrittenFont : public ::testing::TestWithParam<size_t> {};

}  // namespace

TEST_P(WrittenFont, PassesOtsAndDecompilesCompletelyWithFontTools) {
  const Expectation& expected = expectations()[GetParam()];
  TempDir dir;
  std::string path = dir.file(expected.label + ".ttf");
  writeFile(path, compileTrueType(expected.make()));

  CommandResult ots = run("ots-sanitize '" + path + "' '" + dir.file("out.ttf") + "'");
  EXPECT_EQ(ots.exitCode, 0) << ots.output;

  FontToolsView view = fontToolsView(path, dir);
  ASSERT_TRUE(view.ok) << view.output;
  EXPECT_EQ(view.glyphCount, expected.glyphCount);
  EXPECT_EQ(view.cmap.size(), expected.cmapSize);
  if (!expected.cmap.empty()) {
    EXPECT_EQ(view.cmap, expected.cmap);
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, WrittenFont, ::testing::Range(size_t(0), expectations().size()),
                         [](const auto& info) { return expectations()[info.param].label; });

namespace {

class FreeTypeFont {
 public:
  explicit FreeTypeFont(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {
    FT_Init_FreeType(&m_library);
    m_error = FT_New_Memory_Face(m_library, m_bytes.data(), FT_Long(m_bytes.size()), 0, &m_face);
  }
  ~FreeTypeFont() {
    if (m_face) FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
  }
  bool ok() const { return m_error == 0; }
  FT_Face face() const { return m_face; }

  // Loads the glyph of a character in font units; nullptr when that fails.
  FT_Outline* outline(char32_t ch) {
    if (FT_Load_Char(m_face, ch, FT_LOAD_NO_SCALE) != 0) return nullptr;
    return &m_face->glyph->outline;
  }

 private:
  std::vector<uint8_t> m_bytes;
  FT_Library m_library = nullptr;
  FT_Face m_face = nullptr;
  FT_Error m_error = 0;
};

struct Box {
  long xMin, yMin, xMax, yMax;
  friend bool operator==(const Box&, const Box&) = default;
};

Box controlBox(const FT_Outline& outline) {
  FT_BBox box;
  FT_Outline_Get_CBox(&outline, &box);
  return {box.xMin, box.yMin, box.xMax, box.yMax};
}

Box pointBox(const Glyph& glyph) {
  Box box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (const Contour& contour : glyph.contours)
    for (const Point& point : contour)
      box = {std::min<long>(box.xMin, point.x), std::min<long>(box.yMin, point.y),
             std::max<long>(box.xMax, point.x), std::max<long>(box.yMax, point.y)};
  return box;
}

}  // namespace

TEST(FreeTypeView, NamesAreFamilyRegularAndAPostScriptName) {
  FreeTypeFont font(compileTrueType(latinDocument()));
  ASSERT_TRUE(font.ok());
  EXPECT_STREQ(font.face()->family_name, "Brush Latin");
  EXPECT_STREQ(font.face()->style_name, "Regular");
  EXPECT_STREQ(FT_Get_Postscript_Name(font.face()), "BrushLatin-Regular");
}

TEST(FreeTypeView, EveryGlyphsControlBoxMatchesItsPoints) {
  for (FontDocument (*make)() : {latinDocument, japaneseDocument}) {
    FontDocument document = make();
    FreeTypeFont font(compileTrueType(document));
    ASSERT_TRUE(font.ok());
    auto page =
        document.type() == FontType::Latin ? codepage::CodePage::Cp1252 : codepage::CodePage::Cp932;
    for (const auto& [code, glyph] : document.glyphs()) {
      FT_Outline* outline = font.outline(*codepage::toUnicode(page, code));
      ASSERT_NE(outline, nullptr) << code;
      EXPECT_EQ(controlBox(*outline), pointBox(glyph)) << std::hex << code;
    }
  }
}

TEST(FreeTypeView, QuadraticCurveKeepsItsOffCurvePoint) {
  FreeTypeFont font(compileTrueType(latinDocument()));
  FT_Outline* hump = font.outline('B');  // on (0,0), off (200,400), on (400,0)
  ASSERT_NE(hump, nullptr);
  FT_BBox exact;
  ASSERT_EQ(FT_Outline_Get_BBox(hump, &exact), 0);
  EXPECT_EQ(exact.yMax, 200);  // the curve's peak
  EXPECT_EQ(controlBox(*hump).yMax, 400);
  EXPECT_EQ(FT_CURVE_TAG(hump->tags[1]), FT_CURVE_TAG_CONIC);
}

TEST(FreeTypeView, RenderedAtCanvasScaleTheSquareCoversItsPixelsAndNotItsHole) {
  FreeTypeFont font(compileTrueType(latinDocument()));
  ASSERT_TRUE(font.ok());
  // 512 pixels per em: one pixel is 4 font units, as on the canvas.
  ASSERT_EQ(FT_Set_Pixel_Sizes(font.face(), 0, 512), 0);
  ASSERT_EQ(
      FT_Load_Char(font.face(), 'A', FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO), 0);
  FT_GlyphSlot slot = font.face()->glyph;
  EXPECT_EQ(slot->bitmap_left, 100);
  EXPECT_EQ(slot->bitmap_top, 442 - 300);  // rows above the baseline
  ASSERT_EQ(slot->bitmap.width, 100u);
  ASSERT_EQ(slot->bitmap.rows, 100u);
  auto inked = [&](int x, int y) {
    return (slot->bitmap.buffer[y * slot->bitmap.pitch + x / 8] >> (7 - x % 8) & 1) != 0;
  };
  EXPECT_TRUE(inked(5, 5));     // canvas (105, 305)
  EXPECT_FALSE(inked(50, 50));  // canvas (150, 350), inside the hole
  EXPECT_TRUE(inked(95, 95));
}
