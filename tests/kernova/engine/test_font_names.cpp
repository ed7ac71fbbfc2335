// What a saved font says about itself, as outside readers see it: the name records
// and head dates through fontTools, the WOFF2 form against the TrueType one, OTS on
// both, and both files read back through FreeType.

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::FontInfo;

namespace {

// Prints the name records in file order and head's dates and revision; checks that
// the WOFF2 file holds the same glyphs, outlines and character map.
const char* kFontToolsDump = R"(
import sys
from fontTools.ttLib import TTFont
ttf, woff2 = TTFont(sys.argv[1]), TTFont(sys.argv[2])
for n in ttf['name'].names:
    print(n.platformID, n.platEncID, hex(n.langID), n.nameID, n.toUnicode())
print('head', ttf['head'].created, ttf['head'].modified, ttf['head'].fontRevision)
assert woff2.flavor == 'woff2' and woff2.getGlyphOrder() == ttf.getGlyphOrder()
for g in ttf.getGlyphOrder():
    assert woff2['glyf'][g].getCoordinates(woff2['glyf']) == ttf['glyf'][g].getCoordinates(ttf['glyf']), g
assert woff2['cmap'].getBestCmap() == ttf['cmap'].getBestCmap()
)";

FontDocument named(FontDocument document, FontInfo info) {
  document.setFontInfo(std::move(info));
  return document;
}

FontInfo version2500(std::string family, std::string englishFamily) {
  FontInfo info;
  info.family = std::move(family);
  info.englishFamily = std::move(englishFamily);
  info.version = 2500;
  return info;
}

// 1800000000 s after 1970 is 3882844800 s after 1904.
const char* kHead = "head 3882844800 3882844800 2.5\n";

struct Case {
  const char* name;
  FontDocument document;
  std::string records;
};

}  // namespace

TEST(FontNames, NameRecordsDatesAndWoff2AsFontToolsAndOtsReadThem) {
  const FontInfo full{"Brush Latin", "", "Bold", 2500, "Ann Ink", "(c) 2026 Ann Ink", "OFL 1.1", "https://x.test/ofl"};
  const Case cases[] = {
      {"latin", named(latinDocument(), full),
       "3 1 0x409 0 (c) 2026 Ann Ink\n3 1 0x409 1 Brush Latin\n3 1 0x409 2 Bold\n"
       "3 1 0x409 3 2.500;NONE;BrushLatin-Bold\n3 1 0x409 4 Brush Latin Bold\n3 1 0x409 5 Version 2.500\n"
       "3 1 0x409 6 BrushLatin-Bold\n3 1 0x409 9 Ann Ink\n3 1 0x409 13 OFL 1.1\n3 1 0x409 14 https://x.test/ofl\n"},
      {"japanese, English family given", named(japaneseDocument(), version2500("筆かな", "Fude Kana")),
       "3 1 0x409 1 Fude Kana\n3 1 0x409 2 Regular\n3 1 0x409 3 2.500;NONE;FudeKana-Regular\n"
       "3 1 0x409 4 Fude Kana\n3 1 0x409 5 Version 2.500\n3 1 0x409 6 FudeKana-Regular\n"
       "3 1 0x411 1 筆かな\n3 1 0x411 4 筆かな\n"},
      {"japanese, English family left to its default", named(japaneseDocument(), version2500("", "")),
       "3 1 0x409 1 u3042\n3 1 0x409 2 Regular\n3 1 0x409 3 2.500;NONE;u3042-Regular\n3 1 0x409 4 u3042\n"
       "3 1 0x409 5 Version 2.500\n3 1 0x409 6 u3042-Regular\n3 1 0x411 1 あ\n3 1 0x411 4 あ\n"},
  };
  TempDir dir;
  const std::string ttf = dir.file("font.ttf"), woff2 = dir.file("font.WOFF2"), script = dir.file("dump.py");
  writeFile(script, Bytes(kFontToolsDump, kFontToolsDump + std::char_traits<char>::length(kFontToolsDump)));
  ::setenv("SOURCE_DATE_EPOCH", "1800000000", 1);
  for (const Case& c : cases) {
    ASSERT_TRUE(kernova::saveFont(c.document, ttf)) << c.name;
    ASSERT_TRUE(kernova::saveFont(c.document, woff2)) << c.name;
    EXPECT_NE(readFile(woff2), readFile(ttf)) << c.name;
    auto [code, output] = run("/usr/bin/python3 '" + script + "' '" + ttf + "' '" + woff2 + "'");
    EXPECT_EQ(code, 0) << c.name << "\n" << output;
    EXPECT_EQ(output, c.records + kHead) << c.name;
    for (const std::string& font : {ttf, woff2}) {
      auto [otsCode, otsOutput] = run("ots-sanitize '" + font + "' '" + dir.file("out") + "'");
      EXPECT_EQ(otsCode, 0) << c.name << " " << font << "\n" << otsOutput;
    }
    // Both files open again with their names; written again, the font is the same to the byte.
    for (const std::string& font : {ttf, woff2}) {
      std::unique_ptr<FontDocument> back;
      ASSERT_TRUE(kernova::loadTrueType(font, back)) << c.name;
      EXPECT_EQ(back->fontInfo().family, c.document.familyName()) << c.name;
      EXPECT_EQ(kernova::compileTrueType(*back), readFile(ttf)) << c.name << " " << font;
    }
  }
  ::setenv("SOURCE_DATE_EPOCH", "1704067200", 1);
}
