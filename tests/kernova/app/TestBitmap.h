#pragma once
// 1-bit bottom-up Windows bitmaps for the editor's tests and benchmark, the kind the
// lettering tool exports: palette entry 0 black (ink), 1 white.
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace kernova::testing {

inline std::vector<uint8_t> oneBitBmp(int width, int height, const std::function<bool(int x, int y)>& ink) {
  const uint32_t stride = uint32_t((width + 31) / 32 * 4), pixelOffset = 14 + 40 + 8;
  const uint32_t imageSize = stride * uint32_t(height);
  std::vector<uint8_t> out{'B', 'M'};
  const auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
  };
  for (uint32_t v : {pixelOffset + imageSize, 0u, pixelOffset, 40u, uint32_t(width), uint32_t(height)}) put(v, 4);
  put(1, 2);  // planes
  put(1, 2);  // bits per pixel
  for (uint32_t v : {0u, imageSize, 2835u, 2835u, 2u, 0u, 0x000000u, 0xFFFFFFu}) put(v, 4);  // ..., palette
  for (int row = height - 1; row >= 0; --row) {  // bottom-up
    std::vector<uint8_t> line(stride, 0xFF);
    for (int x = 0; x < width; ++x)
      if (ink(x, row)) line[size_t(x / 8)] &= uint8_t(~(0x80 >> (x % 8)));
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

// A ring with a bar through it on the 512 x 512 canvas: three contours, a hole.
inline std::vector<uint8_t> sampleGlyphBmp() {
  return oneBitBmp(512, 512, [](int x, int y) {
    const int r2 = (x - 256) * (x - 256) + (y - 260) * (y - 260);
    return (r2 <= 150 * 150 && r2 >= 80 * 80) || (x >= 380 && x < 420 && y >= 80 && y < 442);
  });
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}

}  // namespace kernova::testing
