// The glyph bitmap writer, checked byte for byte against hand-computed layouts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "glyph/GlyphBitmap.h"
#include "tests/support/FileBytes.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// A canvas of 32-bit pixels (0xXXRRGGBB words), optionally with padding words per row.
struct Canvas {
  Canvas(int w, int h, int padWords = 0)
      : width(w), height(h), wordsPerLine(w + padWords), words(size_t(wordsPerLine) * h, kWhite) {}
  uint32_t& at(int x, int y) { return words[size_t(y) * wordsPerLine + x]; }
  glyph::PixelView view() const {
    return {reinterpret_cast<const uint8_t*>(words.data()), width, height, 4 * wordsPerLine};
  }
  int width, height, wordsPerLine;
  std::vector<uint32_t> words;
};

std::vector<uint8_t> encode(const Canvas& canvas) {
  std::vector<uint8_t> file;
  const Status status = glyph::encodeGlyphBitmap(canvas.view(), file);
  EXPECT_TRUE(status.ok()) << status.message();
  return file;
}

TEST(GlyphBitmap, HeadersOfTheCanvasMatchTheHandComputedBytes) {
  const std::vector<uint8_t> file = encode(Canvas(512, 512));
  // 62 + 512 * 64 = 32830 = 0x803E; 32768 = 0x8000.
  const uint8_t expected[62] = {
      'B', 'M', 0x3E, 0x80, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,        // file header
      40, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,  // size, w, h, planes, bpp
      0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // image size .. important
      0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};                             // palette
  ASSERT_EQ(file.size(), 32830u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 62),
            std::vector<uint8_t>(std::begin(expected), std::end(expected)));
}

// Rows are stored bottom first, the leftmost pixel in the top bit; ink is exactly a zero
// blue component (black, pure red, pure green), so greys and blue leave the file blank.
TEST(GlyphBitmap, EachInkPixelSetsExactlyItsBit) {
  struct Case { int x, y; uint32_t colour; size_t offset; uint8_t bits; };
  for (const Case& c : {Case{0, 0, kBlack, 32766, 0x80}, Case{511, 511, 0xFFFF0000, 125, 0x01},
                        Case{9, 510, 0xFF00FF00, 127, 0x40}, Case{9, 510, 0xFF0000FF, 0, 0},
                        Case{9, 510, 0xFFE0E0E0, 0, 0}, Case{9, 510, 0xFFD4D0C8, 0, 0}}) {
    Canvas canvas(512, 512);
    canvas.at(c.x, c.y) = c.colour;
    const std::vector<uint8_t> file = encode(canvas);
    for (size_t i = 62; i < file.size(); ++i) ASSERT_EQ(file[i], i == c.offset ? c.bits : 0) << c.x << "," << c.y << " at " << i;
  }
}

TEST(GlyphBitmap, OddWidthsArePaddedToWholeWordsWithZeros) {
  Canvas canvas(33, 2, 3);
  for (int x = 0; x < 33; ++x) canvas.at(x, 1) = kBlack;  // bottom row all ink
  for (int x = 33; x < 36; ++x) canvas.at(x, 0) = kBlack;  // padding words are no pixels
  canvas.at(32, 0) = kBlack;
  const std::vector<uint8_t> file = encode(canvas);
  ASSERT_EQ(file.size(), 62u + 2 * 8);
  EXPECT_EQ(file[18], 33);
  EXPECT_EQ(file[34], 16);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 62, file.end()),
            (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0}));
}

TEST(GlyphBitmap, RefusesPicturesItCannotDescribe) {
  Canvas canvas(8, 8);
  std::vector<uint8_t> file;
  for (auto spoil : {+[](glyph::PixelView& v) { v.bytesPerLine = 31; }, +[](glyph::PixelView& v) { v.width = 0; },
                     +[](glyph::PixelView& v) { v = {}; }, +[](glyph::PixelView& v) { v.height = 40000; }}) {
    glyph::PixelView view = canvas.view();
    spoil(view);
    EXPECT_FALSE(glyph::encodeGlyphBitmap(view, file).ok());
  }
}

TEST(GlyphBitmap, CodesBecomeFourUpperCaseDigits) {
  for (const auto& [code, digits] : {std::pair{0x41, "0041"}, {0xFF21, "FF21"}, {0x12345, "2345"}, {-1, "FFFF"}})
    EXPECT_EQ(glyph::codeDigits(code), digits);
}

TEST(GlyphBitmap, WritesTheEncodedBytesOverAnOlderFileOrKeepsItOnFailure) {
  char pattern[] = "/tmp/dz_glyph_XXXXXX";
  const std::filesystem::path dir = ::mkdtemp(pattern), path = dir / "srfm_dots0041.bmp";
  writeBytes(path, std::string(40000, 'x'));
  Canvas canvas(512, 512);
  canvas.at(100, 200) = kBlack;
  ASSERT_TRUE(glyph::writeGlyphBitmap(path, canvas.view()).ok());
  const std::vector<uint8_t> encoded = encode(canvas);
  glyph::PixelView broken = canvas.view();
  broken.bytesPerLine = 3;
  EXPECT_FALSE(glyph::writeGlyphBitmap(path, broken).ok());
  EXPECT_EQ(readBytes(path), std::string(encoded.begin(), encoded.end()));
  std::filesystem::remove_all(dir);
}

}  // namespace
