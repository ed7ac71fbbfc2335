// The BMP reader over tests/data/bmp: each good file holds the test picture in another
// depth, row order, palette or header; each bad one is refused with a message naming its
// fault (namesItsFault). Hostile bytes are fuzz_bmp's. The import budget refuses unread.
#include <sys/stat.h>

#include <cstring>

#include "kernova/engine/Bmp.h"
#include "kernova/engine/ImportBudget.h"
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

// The first 26 bytes of a BMP file whose header claims `width` x `height`.
std::string bmpClaiming(int32_t width, int32_t height) {
  std::string bytes = "BM" + std::string(24, '\0');
  std::memcpy(&bytes[18], &width, 4), std::memcpy(&bytes[22], &height, 4);  // little-endian hosts
  return bytes;
}

}  // namespace

// Regression: a named pipe without a writer blocked the editor, and a folder was "too
// large"; like the bad samples, they are refused by the fault their names give.
TEST(BmpSamples, GoodFilesShowTheTestPictureAndBadOnesAreRefusedWithTheirFault) {
  for (const std::string& path : tt::sampleFiles("bmp/good")) {
    kernova::InkBitmap out;
    EXPECT_EQ(kernova::readBmpFile(path, out).message(), "");
    EXPECT_EQ(std::tuple(out.width, out.height, out.ink), std::tuple(33, 7, testPicture())) << path;
  }
  tt::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("a_named_pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.file("a_folder.bmp"));
  std::vector<std::string> bad = tt::sampleFiles("bmp/bad");
  bad.insert(bad.end(), {dir.file("a_named_pipe.bmp"), dir.file("a_folder.bmp"), dir.file("No_such_file.bmp")});
  for (const std::string& path : bad) {
    kernova::InkBitmap out;
    const std::string message = kernova::readBmpFile(path, out).message();
    EXPECT_TRUE(tt::namesItsFault(message, path)) << message;
  }
}

TEST(ImportBudget, FilesThatCanOnlyHoldTooLargeABitmapAreRefusedUnread) {
  tt::TempDir dir;
  const std::string file = dir.file("import.bmp");
  // The bytes, the sparse length the file is given (0: as written), whether it is refused.
  const std::tuple<std::string, std::uintmax_t, bool> cases[] = {
      {bmpClaiming(8192, 8192), 0, true}, {bmpClaiming(2048, -4097), 0, true}, {bmpClaiming(4096, 2048), 0, false},
      {"not a bitmap", 35u << 20, true},  {"not a bitmap", 0, false}};
  for (const auto& [bytes, size, refused] : cases) {
    writeBytes(file, bytes);
    if (size != 0) std::filesystem::resize_file(file, size);
    EXPECT_EQ(!kernova::checkImportBudget(file), refused) << bytes.size();
  }
  EXPECT_TRUE(kernova::checkImportBudget(dir.file("missing.bmp"))) << "a missing file is the reader's to report";
}
