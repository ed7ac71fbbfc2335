#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "kernova/engine/Bmp.h"
#include "tests/kernova/engine/BmpSamples.h"
#include "tests/kernova/engine/test_truetype_support.h"

using kernova::InkBitmap;
using kernova::readBmp;
using samples::BmpForm;
using samples::encodeBmp;
using samples::put16;
using samples::put32;
using Bytes = std::vector<uint8_t>;

namespace {

// 33 x 7: 1-bit rows take a second word, rows are padded in every depth, and the
// pattern tells every flip apart.
InkBitmap asymmetric() {
  InkBitmap b = samples::blank(33, 7);
  samples::set(b, 0, 0);
  samples::set(b, 32, 6);
  samples::fillRect(b, 2, 1, 9, 1);
  samples::fillRect(b, 2, 1, 2, 5);
  return b;
}

std::string errorOf(const Bytes& bytes) {
  InkBitmap out;
  Status status = readBmp(bytes, out);
  return status ? std::string() : status.message();
}

}  // namespace

TEST(BmpReaderGood, EveryDepthRowOrderPaletteOrderAndHeaderReadsTheSameInk) {
  const BmpForm forms[] = {
      {.bits = 1}, {.bits = 1, .topDown = true}, {.bits = 1, .inkIsEntryZero = true},
      {.bits = 1, .headerSize = 108}, {.bits = 8}, {.bits = 8, .headerSize = 124}, {.bits = 24},
      {.bits = 32, .topDown = true}, {.bits = 32, .bitfields = true},
      {.bits = 32, .headerSize = 124, .bitfields = true},
  };
  for (const BmpForm& form : forms) {
    InkBitmap out;
    Status status = readBmp(encodeBmp(asymmetric(), form), out);
    ASSERT_TRUE(status) << form.bits << "-bit: " << status.message();
    EXPECT_EQ(out.width, 33);
    EXPECT_EQ(out.height, 7);
    EXPECT_EQ(out.ink, asymmetric().ink) << form.bits << " top-down " << form.topDown << " header "
                                         << form.headerSize;
  }
}

TEST(BmpReaderGood, InkIsDarkOpaquePixels) {
  Bytes file = encodeBmp(samples::blank(4, 1), {.bits = 24});
  const uint8_t colours[4][3] = {{127, 127, 127}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}};
  for (int x = 0; x < 4; ++x)
    for (int c = 0; c < 3; ++c) file[54 + 3 * x + c] = colours[x][2 - c];  // stored B, G, R
  InkBitmap out;
  ASSERT_TRUE(readBmp(file, out));
  EXPECT_EQ(out.ink, (Bytes{1, 0, 1, 0}));  // grey 127, grey 128, red, green

  Bytes alpha = encodeBmp(asymmetric(), {.bits = 32, .headerSize = 124, .bitfields = true});
  alpha[14 + 124 + 6 * 33 * 4 + 3] = 0;  // the top-left ink pixel (stored last) fully transparent
  ASSERT_TRUE(readBmp(alpha, out));
  EXPECT_FALSE(out.at(0, 0));
  EXPECT_TRUE(out.at(32, 6));
}

TEST(BmpReaderGood, ShortPaletteReadsAndIndexesBeyondItAreRefused) {
  InkBitmap b = samples::blank(3, 1);
  samples::set(b, 1, 0);
  Bytes small = encodeBmp(b, {.bits = 8});
  small.resize(54);  // two palette entries, 0 light and 1 dark, then the pixels
  put32(small, 46, 2);
  for (uint8_t grey : {240, 10}) small.insert(small.end(), {grey, grey, grey, 0});
  put32(small, 10, uint32_t(small.size()));
  small.insert(small.end(), {0, 1, 0, 0});
  InkBitmap out;
  ASSERT_TRUE(readBmp(small, out)) << errorOf(small);
  EXPECT_EQ(out.ink, (Bytes{0, 1, 0}));
  small[small.size() - 4] = 2;
  EXPECT_NE(errorOf(small).find("palette"), std::string::npos);
  Bytes full = encodeBmp(asymmetric(), {});
  put32(full, 46, 2);  // as many colours as 1-bit pixels address
  EXPECT_EQ(errorOf(full), "");
}

// Each damaged file is refused with a message naming the fault, never read or crashed on.
TEST(BmpReaderBad, DamagedFilesAreRefusedWithTheirFault) {
  auto field32 = [](size_t at, uint32_t value) { return [=](Bytes& f) { put32(f, at, value); }; };
  auto field16 = [](size_t at, uint16_t value) { return [=](Bytes& f) { put16(f, at, value); }; };
  auto cutTo = [](size_t length) { return [=](Bytes& f) { f.resize(length); }; };
  const BmpForm masks{.bits = 32, .bitfields = true};
  const struct {
    BmpForm form;
    std::function<void(Bytes&)> damage;
    std::string expected;  // a part of the message; empty: any message
  } cases[] = {
      {{}, cutTo(0), "not a BMP file"}, {{}, [](Bytes& f) { f[0] = 'M', f[1] = 'B'; }, "not a BMP file"},
      {{}, cutTo(17), ""}, {{}, cutTo(60), ""}, {{}, [](Bytes& f) { f.pop_back(); }, "truncated"},
      {{}, field32(18, 0), "width"}, {{}, field32(18, 8193), "width"}, {{}, field32(22, uint32_t(-8193)), "height"},
      {{}, field32(22, 0x80000000u), "height"},
      {{}, [](Bytes& f) { put32(f, 18, 8192), put32(f, 22, uint32_t(-8192)); }, "truncated"},
      {{.bits = 8}, field32(30, 1), "unsupported compression 1"},
      {{.bits = 24}, field32(30, 3), "unsupported compression 3"}, {{}, field16(28, 4), "unsupported bit depth 4"},
      {{}, field16(26, 2), "invalid plane count 2"}, {{}, field32(14, 12), ""}, {{}, field32(14, 0xFFFFFFF0u), ""},
      {{}, [](Bytes& f) { f.erase(f.begin() + 54, f.begin() + 62), put32(f, 10, 54); }, "palette"},
      {{}, field32(46, 3), "palette"}, {{}, field32(10, 0), ""}, {{}, field32(10, 0xFFFFFFFFu), ""},
      {masks, field32(54, 0x00F0F000u), "invalid BMP colour masks"},
      {masks, field32(54, 0x0000FF00u), "invalid BMP colour masks"},
  };
  for (const auto& c : cases) {
    Bytes file = encodeBmp(asymmetric(), c.form);
    c.damage(file);
    std::string error = errorOf(file);
    EXPECT_FALSE(error.empty()) << &c - cases;
    EXPECT_NE(error.find(c.expected), std::string::npos) << &c - cases << ": " << error;
  }
}

// A file that is no bitmap or cannot be read is refused, and the message names it.
// Regression: a named pipe without a writer blocked the editor, and a folder was
// "too large".
TEST(BmpFile, FilesThatCannotBeReadAreRefusedByName) {
  tt::TempDir dir;
  tt::writeFile(dir.file("text.bmp"), {'h', 'e', 'l', 'l', 'o'});
  ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.file("folder.bmp"));
  const std::pair<std::string, std::string> cases[] = {
      {dir.file("text.bmp"), "text.bmp: not a BMP file"},
      {dir.file("absent.bmp"), "absent.bmp"},
      {dir.file("pipe.bmp"), "pipe.bmp is a named pipe, not a bitmap file"},
      {dir.file("folder.bmp"), "folder.bmp is a folder, not a bitmap file"},
  };
  for (const auto& [path, expected] : cases) {
    InkBitmap out;
    Status status = kernova::readBmpFile(path, out);
    EXPECT_FALSE(status) << path;
    EXPECT_NE(status.message().find(expected), std::string::npos) << status.message();
  }
}
