#pragma once
// The glyph bitmap: the canvas written as an uncompressed 1-bit Windows bitmap for the
// font editor to trace. Only ink reaches the file: a pixel is ink exactly when its
// blue component is 0, so black strokes set bits while the light-grey strokes, the
// guide line and the reference greys stay background.
//
// Layout: 14-byte file header, 40-byte info header, palette (white, black), then the
// rows bottom-up, each padded with zero bytes to a multiple of 4; within a byte the
// leftmost pixel is the most significant bit. No Qt: the caller passes the canvas's
// 32-bit pixel buffer.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Status.h"

namespace glyph {

inline constexpr uint32_t kHeadersSize = 62;

// 32-bit pixels in native 0xXXRRGGBB words (QImage::Format_RGB32), top row first.
struct PixelView {
  const uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;
};

// Bytes of one stored row: the bytes for `width` bits, rounded up to a multiple of 4.
uint32_t rowStride(int width);

// The whole file. Fails when the view is empty, wider or taller than 32767 pixels, or
// its rows are shorter than its width.
Status encodeGlyphBitmap(const PixelView& pixels, std::vector<uint8_t>& file);

// Writes the file atomically: a temporary file in the same folder, flushed to disk,
// then renamed over `path`, so a reader never sees a partial bitmap and a failure
// leaves the previous file in place.
Status writeGlyphBitmap(const std::filesystem::path& path, const PixelView& pixels);

// Whether the file would hold any ink: some pixel's blue component is 0.
bool hasInk(const PixelView& pixels);

// The four upper-case hexadecimal digits that name a code's files: "0041", "FF21";
// longer codes keep their last four digits.
std::string codeDigits(int32_t code);

}  // namespace glyph
