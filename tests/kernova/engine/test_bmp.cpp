#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "BmpSamples.h"
#include "kernova/engine/Tracer.h"

using kernova::InkBitmap;
using kernova::readBmp;
using kernova::readBmpFile;
using samples::BmpForm;
using samples::encodeBmp;
using samples::put16;
using samples::put32;

namespace {

// 13 x 7: rows are padded in every depth, and the pattern tells every flip apart.
InkBitmap asymmetric() {
  InkBitmap b = samples::blank(13, 7);
  samples::set(b, 0, 0);
  samples::set(b, 12, 6);
  samples::fillRect(b, 2, 1, 9, 1);
  samples::fillRect(b, 2, 1, 2, 5);
  samples::set(b, 8, 3);
  return b;
}

std::vector<uint8_t> oneBitFile() { return encodeBmp(asymmetric(), {}); }

std::string errorOf(const std::vector<uint8_t>& bytes) {
  InkBitmap out;
  Status status = readBmp(bytes, out);
  return status ? std::string() : status.message();
}

void expectReadsAsymmetric(const BmpForm& form) {
  InkBitmap out;
  Status status = readBmp(encodeBmp(asymmetric(), form), out);
  ASSERT_TRUE(status) << status.message();
  EXPECT_EQ(out.width, 13);
  EXPECT_EQ(out.height, 7);
  EXPECT_EQ(out.ink, asymmetric().ink);
}

}  // namespace

TEST(BmpReaderGood, OneBitBottomUp) { expectReadsAsymmetric({.bits = 1}); }

TEST(BmpReaderGood, OneBitTopDown) { expectReadsAsymmetric({.bits = 1, .topDown = true}); }

TEST(BmpReaderGood, OneBitWithBlackAsPaletteEntryZero) {
  expectReadsAsymmetric({.bits = 1, .inkIsEntryZero = true});
  expectReadsAsymmetric({.bits = 1, .topDown = true, .inkIsEntryZero = true});
}

TEST(BmpReaderGood, EightBitPaletted) { expectReadsAsymmetric({.bits = 8}); }

TEST(BmpReaderGood, TwentyFourBit) { expectReadsAsymmetric({.bits = 24}); }

TEST(BmpReaderGood, ThirtyTwoBit) {
  expectReadsAsymmetric({.bits = 32});
  expectReadsAsymmetric({.bits = 32, .topDown = true});
}

TEST(BmpReaderGood, ThirtyTwoBitBitfieldsAfterInfoHeaderAndInV5Header) {
  expectReadsAsymmetric({.bits = 32, .bitfields = true});
  expectReadsAsymmetric({.bits = 32, .headerSize = 124, .bitfields = true});
}

TEST(BmpReaderGood, V4AndV5HeadersWithPalette) {
  expectReadsAsymmetric({.bits = 1, .headerSize = 108});
  expectReadsAsymmetric({.bits = 8, .headerSize = 124});
}

TEST(BmpReaderGood, GlyphExportLayoutOf512Square) {
  InkBitmap canvas = samples::blank(512, 512);
  samples::set(canvas, 0, 0);
  samples::set(canvas, 511, 511);
  std::vector<uint8_t> file = encodeBmp(canvas, {});
  ASSERT_EQ(file.size(), 32830u);
  EXPECT_EQ(file[32766], 0x80);  // top-left pixel: first bit of the last stored row
  EXPECT_EQ(file[125], 0x01);    // bottom-right pixel: last bit of the first stored row
  InkBitmap out;
  ASSERT_TRUE(readBmp(file, out));
  EXPECT_EQ(out.ink, canvas.ink);
}

TEST(BmpReaderGood, InkIsLuminanceBelowHalf) {
  InkBitmap b = samples::blank(4, 1);
  std::vector<uint8_t> file = encodeBmp(b, {.bits = 24});
  const uint8_t colours[4][3] = {{127, 127, 127}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}};
  for (int x = 0; x < 4; ++x) {
    for (int c = 0; c < 3; ++c) file[54 + 3 * x + c] = colours[x][2 - c];  // stored B, G, R
  }
  InkBitmap out;
  ASSERT_TRUE(readBmp(file, out));
  EXPECT_EQ(out.ink, (std::vector<uint8_t>{1, 0, 1, 0}));  // grey 127, grey 128, red, green
}

TEST(BmpReaderGood, TransparentPixelsOfBitfieldsImageAreBackground) {
  std::vector<uint8_t> file = encodeBmp(asymmetric(), {.bits = 32, .headerSize = 124,
                                                       .bitfields = true});
  size_t topLeft = 14 + 124 + 6 * 52;  // bottom-up: row 0 is the last stored row
  ASSERT_EQ(file[topLeft + 2], 90);    // an ink pixel
  file[topLeft + 3] = 0;               // fully transparent
  InkBitmap out;
  ASSERT_TRUE(readBmp(file, out));
  EXPECT_FALSE(out.at(0, 0));
  EXPECT_TRUE(out.at(12, 6));
}

TEST(BmpReaderGood, PaletteWithFewerColoursThanTheDepthAllows) {
  InkBitmap b = samples::blank(3, 1);
  samples::set(b, 1, 0);
  std::vector<uint8_t> file = encodeBmp(b, {.bits = 8});
  // Keep two palette entries: 0 light, 1 dark; move the pixel data up behind them.
  std::vector<uint8_t> small(file.begin(), file.begin() + 54);
  put32(small, 46, 2);
  for (uint8_t grey : {240, 10}) small.insert(small.end(), {grey, grey, grey, 0});
  put32(small, 10, uint32_t(small.size()));
  small.insert(small.end(), {0, 1, 0, 0});
  InkBitmap out;
  ASSERT_TRUE(readBmp(small, out)) << errorOf(small);
  EXPECT_EQ(out.ink, (std::vector<uint8_t>{0, 1, 0}));
  small[small.size() - 4] = 2;  // an index the two-colour palette does not have
  EXPECT_NE(errorOf(small).find("palette"), std::string::npos);
}

TEST(BmpReaderBad, NotABmp) {
  EXPECT_EQ(errorOf({}), "not a BMP file");
  EXPECT_EQ(errorOf({'B'}), "not a BMP file");
  std::vector<uint8_t> file = oneBitFile();
  file[0] = 'M';
  file[1] = 'B';
  EXPECT_EQ(errorOf(file), "not a BMP file");
}

TEST(BmpReaderBad, TruncatedAnywhere) {
  std::vector<uint8_t> file = oneBitFile();
  for (size_t length : {2ul, 17ul, 30ul, 53ul, 60ul, file.size() - 1}) {
    std::vector<uint8_t> cut(file.begin(), file.begin() + long(length));
    EXPECT_FALSE(errorOf(cut).empty()) << length;
  }
  std::vector<uint8_t> cut(file.begin(), file.end() - 1);
  EXPECT_NE(errorOf(cut).find("truncated"), std::string::npos);
}

TEST(BmpReaderBad, DimensionsOutOfRange) {
  for (int32_t width : {0, -5, 8193, 100000}) {
    std::vector<uint8_t> file = oneBitFile();
    put32(file, 18, uint32_t(width));
    EXPECT_NE(errorOf(file).find("width"), std::string::npos) << width;
  }
  for (int32_t height : {0, 8193, -8193, INT32_MIN}) {
    std::vector<uint8_t> file = oneBitFile();
    put32(file, 22, uint32_t(height));
    EXPECT_NE(errorOf(file).find("height"), std::string::npos) << height;
  }
}

TEST(BmpReaderBad, LargestDimensionsNeedTheirPixelData) {
  std::vector<uint8_t> file = oneBitFile();
  put32(file, 18, 8192);
  put32(file, 22, uint32_t(-8192));
  EXPECT_NE(errorOf(file).find("truncated"), std::string::npos);
}

TEST(BmpReaderBad, CompressionAndDepthsNotHandled) {
  std::vector<uint8_t> rle8 = encodeBmp(asymmetric(), {.bits = 8});
  put32(rle8, 30, 1);
  EXPECT_EQ(errorOf(rle8), "unsupported compression 1");
  std::vector<uint8_t> fields24 = encodeBmp(asymmetric(), {.bits = 24});
  put32(fields24, 30, 3);
  EXPECT_EQ(errorOf(fields24), "unsupported compression 3");
  for (uint16_t bits : {0, 2, 4, 16, 48}) {
    std::vector<uint8_t> file = oneBitFile();
    put16(file, 28, bits);
    EXPECT_EQ(errorOf(file), "unsupported bit depth " + std::to_string(bits));
  }
}

TEST(BmpReaderBad, HeaderSizesAndPlanes) {
  for (uint32_t size : {0u, 12u, 64u, 0xFFFFFFF0u}) {
    std::vector<uint8_t> file = oneBitFile();
    put32(file, 14, size);
    EXPECT_FALSE(errorOf(file).empty()) << size;
  }
  std::vector<uint8_t> file = oneBitFile();
  put16(file, 26, 2);
  EXPECT_EQ(errorOf(file), "invalid plane count 2");
}

TEST(BmpReaderBad, OneBitWithoutPalette) {
  std::vector<uint8_t> file = oneBitFile();
  file.erase(file.begin() + 54, file.begin() + 62);
  put32(file, 10, 54);
  EXPECT_NE(errorOf(file).find("palette"), std::string::npos);
}

TEST(BmpReaderBad, HostileOffsetsAndCounts) {
  for (uint32_t offset : {0u, 20u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    std::vector<uint8_t> file = oneBitFile();
    put32(file, 10, offset);
    EXPECT_FALSE(errorOf(file).empty()) << offset;
  }
  for (uint32_t colours : {3u, 0x40000000u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> file = oneBitFile();
    put32(file, 46, colours);
    EXPECT_NE(errorOf(file).find("palette"), std::string::npos) << colours;
  }
}

TEST(BmpReaderBad, InvalidColourMasks) {
  for (uint32_t red : {0u, 0x00F0F000u, 0x0000FF00u}) {  // empty, split, same as green
    std::vector<uint8_t> file = encodeBmp(asymmetric(), {.bits = 32, .bitfields = true});
    put32(file, 54, red);
    EXPECT_EQ(errorOf(file), "invalid BMP colour masks") << red;
  }
}

// Random damage to a valid file must end in either an image or a message, never a crash.
TEST(BmpReaderBad, RandomHeaderDamageNeverCrashes) {
  std::mt19937 random(20240611);
  const std::vector<uint8_t> good = encodeBmp(asymmetric(), {.bits = 8});
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> file = good;
    int hits = 1 + int(random() % 4);
    for (int i = 0; i < hits; ++i) file[2 + random() % 60] = uint8_t(random());
    if (random() % 4 == 0) file.resize(random() % file.size());
    InkBitmap out;
    Status status = readBmp(file, out);
    if (!status) {
      ++refused;
      EXPECT_FALSE(status.message().empty());
    } else {
      EXPECT_EQ(out.ink.size(), size_t(out.width) * size_t(out.height));
    }
  }
  EXPECT_GT(refused, 0);
}

TEST(BmpReaderFile, ReadsFromDiskAndNamesThePathInErrors) {
  auto dir = std::filesystem::temp_directory_path() / ("kernova_bmp_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::vector<uint8_t> bytes = oneBitFile();
  {
    std::ofstream(dir / "good.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    std::ofstream(dir / "bad.bmp", std::ios::binary) << "GIF89a";
  }
  InkBitmap out;
  EXPECT_TRUE(readBmpFile((dir / "good.bmp").string(), out));
  EXPECT_EQ(out.ink, asymmetric().ink);
  Status bad = readBmpFile((dir / "bad.bmp").string(), out);
  EXPECT_NE(bad.message().find("bad.bmp: not a BMP file"), std::string::npos) << bad.message();
  Status missing = readBmpFile((dir / "missing.bmp").string(), out);
  EXPECT_NE(missing.message().find("missing.bmp"), std::string::npos);
  std::filesystem::remove_all(dir);
}
