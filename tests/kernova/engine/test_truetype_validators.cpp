// Fonts checked by outside validators, the one place they run: written fonts by OTS
// (ots-sanitize) and fontTools (/usr/bin/python3), and the sample fonts of
// tests/data/truetype by OTS and our reader.
#include <map>

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/kernova/engine/test_truetype_support.h"
#include "tests/support/FileBytes.h"

using namespace tt;

namespace {

// Decompiles every table with checksums enforced, re-derives the glyph boxes and the
// maxp, hhea and head summaries, and compares the names and the two cmap subtables.
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
assert names.getDebugName(2) == 'Regular' and names.getDebugName(5) == 'Version 1.000'
assert names.getDebugName(3).endswith(names.getDebugName(6)), names.getDebugName(3)
assert f['cmap'].getcmap(0, 3).cmap == f['cmap'].getcmap(3, 1).cmap
)";

FontDocument emptyJapanese() { return FontDocument(FontType::Japanese, "空"); }

const std::pair<const char*, FontDocument (*)()> kDocuments[] = {
    {"latin", latinDocument}, {"japanese", japaneseDocument}, {"empty_japanese", emptyJapanese},
    {"every_japanese_code", everyJapaneseCode}};

class WrittenFont : public ::testing::TestWithParam<size_t> {};

}  // namespace

TEST_P(WrittenFont, PassesOtsAndFontTools) {
  TempDir dir;
  std::string font = dir.file("font.ttf"), script = dir.file("check.py");
  const Bytes bytes = kernova::compileTrueType(kDocuments[GetParam()].second());
  writeBytes(font, std::string(bytes.begin(), bytes.end()));
  writeBytes(script, kFontToolsCheck);
  for (const std::string& command : {"ots-sanitize '" + font + "'", "/usr/bin/python3 '" + script + "' '" + font + "'"}) {
    auto [exitCode, output] = run(command);
    EXPECT_EQ(exitCode, 0) << command << "\n" << output;
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, WrittenFont, ::testing::Range(size_t(0), std::size(kDocuments)),
                         [](const auto& info) { return kDocuments[info.param].first; });

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
