// The glyph bitmap writer, checked byte for byte against hand-computed layouts.
#include <gtest/gtest.h>

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

// Rows are padded to whole 32-bit words with zeros; the canvas's padding words are no pixels.
TEST(GlyphBitmap, FileIsTheHeadersThenTheRowsPaddedToWholeWords) {
  Canvas canvas(257, 2, 3);
  for (int x = 0; x < 257; ++x) canvas.at(x, 1) = kBlack;  // bottom row all ink
  for (int x = 256; x < 260; ++x) canvas.at(x, 0) = kBlack;
  // 62 + 2 * 36 = 134 bytes.
  std::vector<uint8_t> expected = {
      'B', 'M', 134, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,              // file header
      40, 0, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,  // size, w, h, planes, bpp
      72, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // image size .. important
      0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};                             // palette
  for (uint8_t fill : {0xFF, 0x00}) {  // the bottom row, then the top one with its last pixel
    expected.insert(expected.end(), 32, fill);
    expected.insert(expected.end(), {0x80, 0, 0, 0});
  }
  EXPECT_EQ(encode(canvas), expected);
}

TEST(GlyphBitmap, CodesBecomeFourUpperCaseDigits) {
  for (const auto& [code, digits] : {std::pair{0x41, "0041"}, {0xFF21, "FF21"}, {0x12345, "2345"}, {-1, "FFFF"}})
    EXPECT_EQ(glyph::codeDigits(code), digits);
}

TEST(GlyphBitmap, RefusesPicturesItCannotDescribeKeepingTheOlderFile) {
  TempFolder dir;
  const std::filesystem::path path = dir / "srfm_dots0041.bmp";
  Canvas canvas(8, 8);
  canvas.at(1, 2) = kBlack;
  ASSERT_TRUE(glyph::writeGlyphBitmap(path, canvas.view()).ok());
  for (auto spoil : {+[](glyph::PixelView& v) { v.bytesPerLine = 31; }, +[](glyph::PixelView& v) { v.width = 0; },
                     +[](glyph::PixelView& v) { v.bits = nullptr; }, +[](glyph::PixelView& v) { v.height = 40000; }}) {
    glyph::PixelView view = canvas.view();
    spoil(view);
    EXPECT_FALSE(glyph::writeGlyphBitmap(path, view).ok());
  }
  const std::vector<uint8_t> encoded = encode(canvas);
  EXPECT_EQ(readBytes(path), std::string(encoded.begin(), encoded.end()));
}

}  // namespace
