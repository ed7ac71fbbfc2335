#include "kernova/engine/ImportBudget.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "kernova/engine/Tracer.h"

namespace kernova {
namespace {

// The largest bitmap the tracer takes, at 32 bits, with room for any headers.
constexpr uint64_t kMaxFileBytes = uint64_t(kMaxTracedPixels) * 4 + (1u << 20);
// BITMAPFILEHEADER (14 bytes), then biSize, biWidth, biHeight of BITMAPINFOHEADER.
constexpr size_t kWidthOffset = 18;
constexpr size_t kDimensionsEnd = 26;

int32_t littleEndian32(const unsigned char* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

Status tooLarge(const std::string& path, const std::string& what) {
  return Status::failure(path + ": " + what + " is more than the tracer takes (at most " +
                         std::to_string(kMaxTracedPixels) + " pixels)");
}

}  // namespace

Status checkImportBudget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return Status::success();
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxFileBytes) return tooLarge(path, "a file of " + std::to_string(size) + " bytes");
  unsigned char header[kDimensionsEnd] = {};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M')
    return Status::success();
  const int64_t width = littleEndian32(header + kWidthOffset);
  const int64_t height = std::llabs(littleEndian32(header + kWidthOffset + 4));  // negative: top-down
  if (width > 0 && width * height > kMaxTracedPixels)
    return tooLarge(path, "a bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
  return Status::success();
}

}  // namespace kernova
