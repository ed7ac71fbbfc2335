#pragma once
// Shared by the TrueType tests: hand-made outlines and documents, big-endian access
// to the sfnt layout independent of the writer, and temporary folders.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "kernova/engine/FontDocument.h"

namespace tt {

using kernova::Contour;
using kernova::FontDocument;
using kernova::FontType;
using kernova::Glyph;
using kernova::Point;
using Bytes = std::vector<uint8_t>;

// A clockwise (y up) square given in canvas pixels, (4x, 4(442 - y)) in font units;
// counter-clockwise, a hole.
inline Contour canvasSquare(int left, int top, int right, int bottom, bool hole = false) {
  Contour c = {{4 * left, 4 * (442 - bottom)}, {4 * left, 4 * (442 - top)},
               {4 * right, 4 * (442 - top)}, {4 * right, 4 * (442 - bottom)}};
  if (hole) std::reverse(c.begin() + 1, c.end());
  return c;
}

// A hump: on (0,0), off (200,400), on (400,0); the curve peaks at y = 200.
inline Contour quadraticHump(int dx = 0) { return {{dx, 0}, {dx + 200, 400, false}, {dx + 400, 0}}; }

inline Glyph glyphOf(std::vector<Contour> contours) { return Glyph{.contours = std::move(contours)}; }

// 'A' a square with a square hole, 'B' a quadratic curve, 0x80 (the euro) and 0xE9
// (e acute) squares.
inline FontDocument latinDocument() {
  FontDocument document(FontType::Latin, "Brush Latin");
  document.setGlyph('A', glyphOf({canvasSquare(100, 300, 200, 400), canvasSquare(120, 320, 180, 380, true)}));
  document.setGlyph('B', glyphOf({quadraticHump()}));
  document.setGlyph(0x80, glyphOf({canvasSquare(10, 10, 20, 20)}));
  document.setGlyph(0xE9, glyphOf({canvasSquare(50, 250, 150, 442)}));
  return document;
}

// 0x82A0 (hiragana a), 0x889F (the first level-1 kanji) with a hole, 0xB1
// (half-width katakana a) a curve, and 'A'.
inline FontDocument japaneseDocument() {
  FontDocument document(FontType::Japanese, "あ");
  document.setGlyph(0x82A0, glyphOf({canvasSquare(100, 300, 200, 400)}));
  document.setGlyph(0x889F, glyphOf({canvasSquare(0, 0, 500, 500), canvasSquare(100, 100, 400, 400, true)}));
  document.setGlyph(0xB1, glyphOf({quadraticHump(100)}));
  document.setGlyph('A', glyphOf({canvasSquare(1, 2, 3, 4)}));
  return document;
}

// Every code of the Japanese order drawn: thousands of glyphs, enough outline data for
// long loca offsets.
inline FontDocument everyJapaneseCode() {
  FontDocument document(FontType::Japanese, "Every Code");
  for (uint16_t code : document.codeOrder().codes()) {
    int x = code % 300;
    document.setGlyph(code, glyphOf({canvasSquare(x, 20, x + 100, 400), canvasSquare(x + 20, 40, x + 80, 380, true)}));
  }
  return document;
}

inline uint32_t be16(const Bytes& b, size_t at) { return uint32_t(b.at(at)) << 8 | b.at(at + 1); }
inline uint32_t be32(const Bytes& b, size_t at) { return be16(b, at) << 16 | be16(b, at + 2); }
inline int32_t sbe16(const Bytes& b, size_t at) { return int16_t(be16(b, at)); }
inline void put16(Bytes& b, size_t at, uint32_t v) { b.at(at) = uint8_t(v >> 8), b.at(at + 1) = uint8_t(v); }

// The table directory record (tag, checksum, offset, length) of `tag`, at 12 + 16 i.
inline size_t tableRecord(const Bytes& font, const std::string& tag) {
  for (size_t record = 12; record < 12 + 16 * be16(font, 4); record += 16)
    if (std::string(font.begin() + long(record), font.begin() + long(record) + 4) == tag) return record;
  throw std::runtime_error("no table " + tag);
}
inline size_t tableOffset(const Bytes& font, const std::string& tag) { return be32(font, tableRecord(font, tag) + 8); }
inline Bytes tableBytes(const Bytes& font, const std::string& tag) {
  size_t offset = tableOffset(font, tag);
  return {font.begin() + long(offset), font.begin() + long(offset + be32(font, tableRecord(font, tag) + 12))};
}

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kernova-tt-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~TempDir() { std::filesystem::remove_all(m_path, m_ignored); }
  std::string file(const std::string& name) const { return (m_path / name).string(); }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
  std::error_code m_ignored;
};

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tt
