// The glyph bitmap writer, checked byte for byte against hand-computed layouts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "glyph/GlyphBitmap.h"

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

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GlyphBitmapLayout, HeadersOfTheCanvasMatchTheHandComputedBytes) {
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

TEST(GlyphBitmapLayout, BlankCanvasHasNoInk) {
  const std::vector<uint8_t> file = encode(Canvas(512, 512));
  for (size_t i = 62; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;
}

TEST(GlyphBitmapLayout, TopLeftPixelIsBitSevenOfTheLastStoredRow) {
  Canvas canvas(512, 512);
  canvas.at(0, 0) = kBlack;
  const std::vector<uint8_t> file = encode(canvas);
  EXPECT_EQ(file[32766], 0x80);
  for (size_t i = 62; i < file.size(); ++i)
    if (i != 32766) {
      ASSERT_EQ(file[i], 0) << i;
    }
}

TEST(GlyphBitmapLayout, BottomRightPixelIsBitZeroOfTheFirstStoredRow) {
  Canvas canvas(512, 512);
  canvas.at(511, 511) = kBlack;
  const std::vector<uint8_t> file = encode(canvas);
  EXPECT_EQ(file[125], 0x01);
  for (size_t i = 62; i < file.size(); ++i)
    if (i != 125) {
      ASSERT_EQ(file[i], 0) << i;
    }
}

TEST(GlyphBitmapLayout, InkIsExactlyAZeroBlueComponent) {
  Canvas canvas(32, 1);
  const uint32_t pixels[8] = {0xFF000000, 0xFFE0E0E0, 0xFFDDDDDD, 0xFFD4D0C8,
                              0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  for (int x = 0; x < 8; ++x) canvas.at(x, 0) = pixels[x];
  // Black, pure red and pure green have blue 0; greys and blue do not.
  EXPECT_EQ(encode(canvas)[62], 0b10000110);
}

TEST(GlyphBitmapLayout, OddWidthsArePaddedToTheStrideWithZeros) {
  Canvas canvas(33, 2, 3);
  for (int x = 0; x < 33; ++x) canvas.at(x, 1) = kBlack;  // bottom row all ink
  for (int x = 33; x < 36; ++x) canvas.at(x, 0) = kBlack;  // padding words are no pixels
  canvas.at(32, 0) = kBlack;
  const std::vector<uint8_t> file = encode(canvas);
  ASSERT_EQ(file.size(), 62u + 2 * 8);
  EXPECT_EQ(file[18], 33);
  EXPECT_EQ(file[34], 16);
  const std::vector<uint8_t> rows(file.begin() + 62, file.end());
  EXPECT_EQ(rows, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0,  //
                                        0, 0, 0, 0, 0x80, 0, 0, 0}));
}

TEST(GlyphBitmapLayout, StrideRoundsBitsUpToWholeWords) {
  EXPECT_EQ(glyph::rowStride(1), 4u);
  EXPECT_EQ(glyph::rowStride(32), 4u);
  EXPECT_EQ(glyph::rowStride(33), 8u);
  EXPECT_EQ(glyph::rowStride(512), 64u);
}

TEST(GlyphBitmapLayout, RefusesPicturesItCannotDescribe) {
  std::vector<uint8_t> file;
  Canvas canvas(8, 8);
  glyph::PixelView view = canvas.view();
  view.bytesPerLine = 31;
  EXPECT_FALSE(glyph::encodeGlyphBitmap(view, file).ok());
  view = canvas.view();
  view.width = 0;
  EXPECT_FALSE(glyph::encodeGlyphBitmap(view, file).ok());
  view = {};
  EXPECT_FALSE(glyph::encodeGlyphBitmap(view, file).ok());
  view = canvas.view();
  view.height = 40000;
  EXPECT_FALSE(glyph::encodeGlyphBitmap(view, file).ok());
}

TEST(GlyphBitmapNames, CodesBecomeFourUpperCaseDigits) {
  EXPECT_EQ(glyph::codeDigits(0x41), "0041");
  EXPECT_EQ(glyph::codeDigits(0xFF21), "FF21");
  EXPECT_EQ(glyph::codeDigits(0x3042), "3042");
  EXPECT_EQ(glyph::codeDigits(0x12345), "2345");
  EXPECT_EQ(glyph::codeDigits(-1), "FFFF");
}

class GlyphBitmapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dz_glyph_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::filesystem::path m_dir;
};

TEST_F(GlyphBitmapFile, WritesTheEncodedBytesAndNothingElse) {
  Canvas canvas(512, 512);
  canvas.at(100, 200) = kBlack;
  const auto path = m_dir / "srfm_dots0041.bmp";
  ASSERT_TRUE(glyph::writeGlyphBitmap(path, canvas.view()).ok());
  EXPECT_EQ(readFile(path), encode(canvas));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir),
                          std::filesystem::directory_iterator()),
            1) << "no temporary file is left behind";
}

TEST_F(GlyphBitmapFile, OverwritesAnOlderLongerFileCompletely) {
  const auto path = m_dir / "srfm_dots0041.bmp";
  std::ofstream(path, std::ios::binary) << std::string(40000, 'x');
  Canvas canvas(512, 512);
  ASSERT_TRUE(glyph::writeGlyphBitmap(path, canvas.view()).ok());
  EXPECT_EQ(readFile(path), encode(canvas));
}

TEST_F(GlyphBitmapFile, MissingFolderFailsWithAMessageAndLeavesNothing) {
  const auto path = m_dir / "missing" / "srfm_dots0041.bmp";
  const Status status = glyph::writeGlyphBitmap(path, Canvas(512, 512).view());
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.message().find("missing"), std::string::npos) << status.message();
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(GlyphBitmapFile, FailedWriteKeepsThePreviousFile) {
  const auto path = m_dir / "srfm_dots0041.bmp";
  Canvas canvas(512, 512);
  ASSERT_TRUE(glyph::writeGlyphBitmap(path, canvas.view()).ok());
  const std::vector<uint8_t> before = readFile(path);
  glyph::PixelView broken = canvas.view();
  broken.bytesPerLine = 3;
  EXPECT_FALSE(glyph::writeGlyphBitmap(path, broken).ok());
  EXPECT_EQ(readFile(path), before);
}

}  // namespace
