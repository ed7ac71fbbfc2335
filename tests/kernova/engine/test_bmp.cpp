// The BMP reader over the samples in tests/data/bmp: each good file holds the test
// picture in another depth, row order, palette or header; each bad one is refused
// with a message holding its name (see namesItsFault). Hostile bytes are fuzz_bmp's.
#include <sys/stat.h>

#include "kernova/engine/Bmp.h"
#include "tests/kernova/engine/test_truetype_support.h"

namespace {

// 33 x 7, so 1-bit rows take a second word and every row is padded: ink at the two
// corners (0, 0) and (32, 6), along row 1 from x 2 to 9 and down column 2 to row 5.
std::vector<uint8_t> testPicture() {
  std::vector<uint8_t> ink(33 * 7, 0);
  for (int i = 1; i <= 8; ++i) ink[33 + 1 + i] = ink[33 * std::min(i, 5) + 2] = 1;
  ink.front() = ink.back() = 1;
  return ink;
}

std::string errorOf(const std::string& path, kernova::InkBitmap& out) {
  Status status = kernova::readBmpFile(path, out);
  return status ? "" : status.message();
}

}  // namespace

TEST(BmpSamples, GoodFilesShowTheTestPictureAndBadOnesAreRefusedWithTheirFault) {
  for (const std::string& path : tt::sampleFiles("bmp/good")) {
    kernova::InkBitmap out;
    EXPECT_EQ(errorOf(path, out), "");
    EXPECT_EQ(std::tuple(out.width, out.height, out.ink), std::tuple(33, 7, testPicture())) << path;
  }
  for (const std::string& path : tt::sampleFiles("bmp/bad")) {
    kernova::InkBitmap out;
    EXPECT_TRUE(tt::namesItsFault(errorOf(path, out), path)) << errorOf(path, out);
  }
}

// Regression: a named pipe without a writer blocked the editor, and a folder was
// "too large".
TEST(BmpFile, WhatIsNoRegularFileIsRefusedByName) {
  tt::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.file("folder.bmp"));
  for (auto [name, expected] : {std::pair{"pipe.bmp", " is a named pipe"}, {"folder.bmp", " is a folder"},
                                {"absent.bmp", ": No such file"}}) {
    kernova::InkBitmap out;
    EXPECT_NE(errorOf(dir.file(name), out).find(dir.file(name) + expected), std::string::npos) << name;
  }
}
