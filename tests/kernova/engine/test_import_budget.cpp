// Bitmap files beyond the tracer's budget are refused before they are read.
#include "kernova/engine/ImportBudget.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/kernova/engine/BmpSamples.h"

namespace {

// A small BMP file whose header claims `width` x `height`.
std::string bmpClaiming(int width, int height) {
  std::vector<uint8_t> bytes = samples::encodeBmp(samples::blank(8, 8), {});
  samples::put32(bytes, 18, uint32_t(width));
  samples::put32(bytes, 22, uint32_t(height));
  return std::string(bytes.begin(), bytes.end());
}

TEST(ImportBudget, FilesThatCanOnlyHoldTooLargeABitmapAreRefusedUnread) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("import_budget_" + std::to_string(::getpid()) + ".bmp");
  const struct {
    std::string bytes;
    std::uintmax_t size;  // sparse length, 0: as written
    bool refused;
  } cases[] = {
      {bmpClaiming(8192, 8192), 0, true},
      {bmpClaiming(2048, -4097), 0, true},
      {bmpClaiming(4096, 2048), 0, false},
      {"not a bitmap", 35u << 20, true},
      {"not a bitmap", 0, false},
  };
  for (const auto& c : cases) {
    std::ofstream(file, std::ios::binary) << c.bytes;
    if (c.size != 0) std::filesystem::resize_file(file, c.size);
    const Status status = kernova::checkImportBudget(file.string());
    EXPECT_EQ(!status, c.refused) << c.bytes.size() << " bytes: " << status.message();
  }
  std::filesystem::remove(file);
  EXPECT_TRUE(kernova::checkImportBudget(file.string())) << "a missing file is the reader's to report";
}

}  // namespace
