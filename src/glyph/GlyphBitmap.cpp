#include "glyph/GlyphBitmap.h"

#include "common/AtomicFile.h"

#include <cstdio>
#include <cstring>

namespace glyph {
namespace {

constexpr int kMaxSide = 32767;  // the writer's sides are 16-bit integers

void put16(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
  put16(at, value & 0xFFFF);
  put16(at + 2, value >> 16);
}

// File header, info header and the two palette entries.
void fillHeaders(uint8_t* h, int width, int height, uint32_t imageSize) {
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 2, kHeadersSize + imageSize);
  put32(h + 10, kHeadersSize);
  put32(h + 14, 40);
  put32(h + 18, uint32_t(width));
  put32(h + 22, uint32_t(height));
  put16(h + 26, 1);
  put16(h + 28, 1);
  put32(h + 34, imageSize);
  put32(h + 54, 0x00FFFFFF);  // entry 0: white (blue, green, red, reserved)
  put32(h + 58, 0x00000000);  // entry 1: black
}

// One canvas row into `out`: a set bit for each pixel whose blue byte is 0.
void packRow(const uint8_t* row, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    uint32_t pixel;
    std::memcpy(&pixel, row + 4 * size_t(x), sizeof pixel);
    if ((pixel & 0xFF) == 0) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
  }
}

}  // namespace

bool hasInk(const PixelView& pixels) {
  for (int y = 0; y < pixels.height; ++y) {
    const uint8_t* row = pixels.bits + size_t(y) * size_t(pixels.bytesPerLine);
    for (int x = 0; x < pixels.width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * size_t(x), sizeof pixel);
      if ((pixel & 0xFF) == 0) return true;
    }
  }
  return false;
}

uint32_t rowStride(int width) { return ((uint32_t(width) + 31) / 32) * 4; }

Status encodeGlyphBitmap(const PixelView& pixels, std::vector<uint8_t>& file) {
  const int w = pixels.width, h = pixels.height;
  if (!pixels.bits || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
    return Status::failure("画像が空か大きすぎます");
  if (pixels.bytesPerLine < 4 * w)
    return Status::failure("画像の行が幅より短くなっています");
  const uint32_t stride = rowStride(w);
  const uint32_t imageSize = stride * uint32_t(h);
  file.assign(kHeadersSize + imageSize, 0);
  fillHeaders(file.data(), w, h, imageSize);
  uint8_t* out = file.data() + kHeadersSize;
  for (int y = h - 1; y >= 0; --y, out += stride)
    packRow(pixels.bits + size_t(y) * size_t(pixels.bytesPerLine), w, out);
  return Status::success();
}

Status writeGlyphBitmap(const std::filesystem::path& path, const PixelView& pixels) {
  std::vector<uint8_t> file;
  if (Status encoded = encodeGlyphBitmap(pixels, file); !encoded) return encoded;
  const common::WriteResult written = common::writeFileAtomically(path, file);
  if (written) return Status::success();
  return Status::failure(path.string() + ": " + written.describeJapanese());
}

std::string codeDigits(int32_t code) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04X", unsigned(uint32_t(code) & 0xFFFF));
  return digits;
}

}  // namespace glyph
