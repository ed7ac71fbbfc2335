// Fonts checked by outside validators, the one place they run: written fonts, TrueType
// and WOFF2, by OTS (ots-sanitize) and fontTools (/usr/bin/python3), and the sample
// fonts of tests/data/truetype by OTS and our reader.
#include <map>

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;
using kernova::FontInfo;

namespace {

// Decompiles every table with checksums enforced (the whole file summing to 0xB1B0AFBA);
// re-derives the directory's search fields, glyph boxes, left side bearings and the maxp,
// hhea and head summaries; checks that win metrics cover every outline and that the WOFF2
// file holds the same outlines and map; prints OS/2's ranges, the name records in file
// order and head's dates and revision.
const char* kFontToolsCheck = R"(
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib import getSearchRange
f, woff2 = TTFont(sys.argv[1], checkChecksums=2), TTFont(sys.argv[2])
for tag in f.keys():
    f[tag]
data = open(sys.argv[1], 'rb').read()
assert sum(int.from_bytes(data[i:i + 4], 'big') for i in range(0, len(data), 4)) % 2**32 == 0xB1B0AFBA
r = f.reader
assert (r.searchRange, r.entrySelector, r.rangeShift) == getSearchRange(r.numTables, 16)
assert woff2.flavor == 'woff2' and woff2.getGlyphOrder() == f.getGlyphOrder()
assert woff2['cmap'].getBestCmap() == f['cmap'].getBestCmap()
assert f['cmap'].getcmap(0, 3).cmap == f['cmap'].getcmap(3, 1).cmap
glyf = f['glyf']
box = None
for name in f.getGlyphOrder():
    g = glyf[name]
    assert woff2['glyf'][name].getCoordinates(woff2['glyf']) == g.getCoordinates(glyf), name
    if g.numberOfContours <= 0:
        continue
    stored = (g.xMin, g.yMin, g.xMax, g.yMax)
    g.recalcBounds(glyf)
    assert stored == (g.xMin, g.yMin, g.xMax, g.yMax) and f['hmtx'][name][1] == g.xMin, name
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
os2 = f['OS/2']
assert (os2.usWinAscent, os2.usWinDescent) == (max(head.yMax, 1768), max(-head.yMin, 280))
print('OS/2', hex(os2.ulCodePageRange1), hex(os2.ulUnicodeRange1), hex(os2.ulUnicodeRange2),
      hex(os2.ulUnicodeRange3), hex(os2.usFirstCharIndex), hex(os2.usLastCharIndex))
for n in f['name'].names:
    print(n.platformID, n.platEncID, hex(n.langID), n.nameID, n.toUnicode())
print('head', head.created, head.modified, head.fontRevision)
)";

const FontInfo kEveryName{"筆かな", "Fude Kana", "Bold", 2500, "Ann Ink", "(c) 2026 Ann Ink", "OFL 1.1",
                          "https://x.test/ofl"};

FontDocument japaneseWith(FontInfo info) {
  FontDocument document = japaneseDocument();
  document.setFontInfo(std::move(info));
  return document;
}

// Every code of the Japanese order drawn: thousands of glyphs and cmap segments,
// consecutive characters on distant glyphs, enough outline data for long loca offsets.
FontDocument everyJapaneseCode() {
  FontDocument document(FontType::Japanese, "Every Code");
  for (uint16_t code : document.codeOrder().codes()) {
    int x = code % 300;
    document.setGlyph(code, glyphOf({canvasSquare(x, 20, x + 100, 400), canvasSquare(x + 20, 40, x + 80, 380, true)}));
  }
  return document;
}

// What fontTools prints of a font saved at 1800000000 s after 1970, 3882844800 s after
// 1904; nullptr where only the checks count.
const struct {
  const char* name;
  FontDocument (*document)();
  const char* printed;
} kDocuments[] = {
    {"latin", latinDocument,
     "OS/2 0x1 0x3 0x2 0x0 0x20 0x20ac\n"
     "3 1 0x409 1 Brush Latin\n3 1 0x409 2 Regular\n3 1 0x409 3 1.000;NONE;BrushLatin-Regular\n"
     "3 1 0x409 4 Brush Latin\n3 1 0x409 5 Version 1.000\n3 1 0x409 6 BrushLatin-Regular\n"
     "head 3882844800 3882844800 1.0\n"},
    // Basic Latin; kana and CJK ideographs; half-width forms; JIS/Japan and Latin 1.
    {"japanese_with_every_name", [] { return japaneseWith(kEveryName); },
     "OS/2 0x20001 0x1 0x8020000 0x10 0x20 0xff71\n"
     "3 1 0x409 0 (c) 2026 Ann Ink\n3 1 0x409 1 Fude Kana\n3 1 0x409 2 Bold\n"
     "3 1 0x409 3 2.500;NONE;FudeKana-Bold\n3 1 0x409 4 Fude Kana Bold\n3 1 0x409 5 Version 2.500\n"
     "3 1 0x409 6 FudeKana-Bold\n3 1 0x409 9 Ann Ink\n3 1 0x409 13 OFL 1.1\n3 1 0x409 14 https://x.test/ofl\n"
     "3 1 0x411 1 筆かな\n3 1 0x411 4 筆かな Bold\nhead 3882844800 3882844800 2.5\n"},
    {"japanese_with_the_default_english_family",
     [] { return japaneseWith({"", "", "Regular", 2500, "", "", "", ""}); },
     "OS/2 0x20001 0x1 0x8020000 0x10 0x20 0xff71\n"
     "3 1 0x409 1 u3042\n3 1 0x409 2 Regular\n3 1 0x409 3 2.500;NONE;u3042-Regular\n3 1 0x409 4 u3042\n"
     "3 1 0x409 5 Version 2.500\n3 1 0x409 6 u3042-Regular\n3 1 0x411 1 あ\n3 1 0x411 4 あ\n"
     "head 3882844800 3882844800 2.5\n"},
    {"empty_japanese", [] { return FontDocument(FontType::Japanese, "空"); }, nullptr},
    {"every_japanese_code", everyJapaneseCode, nullptr}};

class WrittenFont : public ::testing::TestWithParam<size_t> {};

}  // namespace

// Both forms pass OTS and fontTools, and the WOFF2 file opens again as the same font.
TEST_P(WrittenFont, PassesOtsAndFontToolsInBothForms) {
  const auto& row = kDocuments[GetParam()];
  TempDir dir;
  const std::string ttf = dir.file("font.ttf"), woff2 = dir.file("font.WOFF2"), script = dir.file("check.py");
  writeBytes(script, kFontToolsCheck);
  ::setenv("SOURCE_DATE_EPOCH", "1800000000", 1);
  ASSERT_TRUE(kernova::saveFont(row.document(), ttf));
  ASSERT_TRUE(kernova::saveFont(row.document(), woff2));
  for (const std::string& font : {ttf, woff2}) {
    auto [exitCode, output] = run("ots-sanitize '" + font + "' '" + dir.file("out") + "'");
    EXPECT_EQ(exitCode, 0) << font << "\n" << output;
  }
  auto [exitCode, output] = run("/usr/bin/python3 '" + script + "' '" + ttf + "' '" + woff2 + "'");
  EXPECT_EQ(exitCode, 0) << output;
  if (row.printed) {
    EXPECT_EQ(output, row.printed);
  }
  std::unique_ptr<FontDocument> back;
  ASSERT_TRUE(kernova::loadTrueType(woff2, back));
  const Bytes again = kernova::compileTrueType(*back);
  EXPECT_EQ(std::string(again.begin(), again.end()), readBytes(ttf));
}

INSTANTIATE_TEST_SUITE_P(Documents, WrittenFont, ::testing::Range(size_t(0), std::size(kDocuments)),
                         [](const auto& info) { return kDocuments[info.param].name; });

// A good sample is named <type>_<glyphs>_glyph(s): it passes OTS and opens with that
// type and count, and the same glyphs as every sample of its name (a copy saved by
// fontTools with other units per em or without code page bits). A bad sample, a
// missing file or a folder is refused with a message holding its name (namesItsFault).
TEST(TrueTypeSamples, GoodFontsOpenAsNamedAndBadOnesAreRefusedWithTheirFault) {
  std::map<std::string, std::map<uint16_t, Glyph>> glyphsByName;
  for (const std::string& path : sampleFiles("truetype/good")) {
    std::unique_ptr<FontDocument> font;
    ASSERT_TRUE(kernova::loadTrueType(path, font)) << path;
    const std::string name = sampleName(path), count = name.substr(name.find(' ') + 1);
    EXPECT_EQ(font->type(), name.starts_with("latin") ? FontType::Latin : FontType::Japanese) << path;
    EXPECT_EQ(std::to_string(font->glyphs().size()), count.substr(0, count.find(' '))) << path;
    EXPECT_EQ(glyphsByName.try_emplace(name, font->glyphs()).first->second, font->glyphs()) << path;
    EXPECT_EQ(run("ots-sanitize '" + path + "'").first, 0) << path;
  }
  TempDir dir;
  std::filesystem::create_directory(dir.file("it_is_not_a_file"));
  std::vector<std::string> bad = sampleFiles("truetype/bad");
  bad.insert(bad.end(), {dir.file("it_is_not_a_file"), dir.file("No_such_file")});
  for (const std::string& path : bad) {
    std::unique_ptr<FontDocument> font;
    const Status status = kernova::loadTrueType(path, font);
    EXPECT_TRUE(namesItsFault(status.message(), path)) << status.message();
    EXPECT_EQ(font, nullptr);
  }
}
