// Bitmap files beyond the tracer's budget are refused before they are read.
#include "kernova/engine/ImportBudget.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/kernova/engine/test_truetype_support.h"
#include "tests/support/FileBytes.h"

namespace {

// The first 26 bytes of a BMP file whose header claims `width` x `height`.
std::string bmpClaiming(int32_t width, int32_t height) {
  std::string bytes = "BM" + std::string(24, '\0');
  std::memcpy(&bytes[18], &width, 4), std::memcpy(&bytes[22], &height, 4);  // little-endian hosts
  return bytes;
}

TEST(ImportBudget, FilesThatCanOnlyHoldTooLargeABitmapAreRefusedUnread) {
  tt::TempDir dir;
  const std::string file = dir.file("import.bmp");
  const struct {
    std::string bytes;
    std::uintmax_t size;  // sparse length, 0: as written
    bool refused;
  } cases[] = {{bmpClaiming(8192, 8192), 0, true}, {bmpClaiming(2048, -4097), 0, true},
               {bmpClaiming(4096, 2048), 0, false}, {"not a bitmap", 35u << 20, true}, {"not a bitmap", 0, false}};
  for (const auto& c : cases) {
    writeBytes(file, c.bytes);
    if (c.size != 0) std::filesystem::resize_file(file, c.size);
    EXPECT_EQ(!kernova::checkImportBudget(file), c.refused) << c.bytes.size();
  }
  EXPECT_TRUE(kernova::checkImportBudget(dir.file("missing.bmp"))) << "a missing file is the reader's to report";
}

}  // namespace
