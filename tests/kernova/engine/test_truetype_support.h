#pragma once
// Shared by the TrueType tests: hand-made outlines and documents, a minimal
// independent reader of the sfnt layout, temporary folders and outside commands.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "kernova/engine/FontDocument.h"

namespace tt {

using kernova::Contour;
using kernova::FontDocument;
using kernova::FontType;
using kernova::Glyph;
using kernova::Point;

// A clockwise (y up) square given in canvas pixels: canvas (x, y) is (4x, 4(442 - y)).
inline Contour canvasSquare(int left, int top, int right, int bottom) {
  auto fx = [](int x) { return 4 * x; };
  auto fy = [](int y) { return 4 * (442 - y); };
  return {
      {fx(left), fy(bottom)}, {fx(left), fy(top)}, {fx(right), fy(top)}, {fx(right), fy(bottom)}};
}

// Counter-clockwise: a hole.
inline Contour canvasHole(int left, int top, int right, int bottom) {
  Contour square = canvasSquare(left, top, right, bottom);
  return {square[0], square[3], square[2], square[1]};
}

// A hump: on (0,0), off (200,400), on (400,0); the curve peaks at y = 200.
inline Contour quadraticHump(int dx = 0) {
  return {{dx, 0, true}, {dx + 200, 400, false}, {dx + 400, 0, true}};
}

inline Glyph glyphOf(std::vector<Contour> contours) {
  return Glyph{.contours = std::move(contours)};
}

// 'A' a square with a square hole, 'B' a quadratic curve, 0x80 (the euro) and 0xE9
// (e acute) squares.
inline FontDocument latinDocument() {
  FontDocument document(FontType::Latin, "Brush Latin");
  document.setGlyph('A',
                    glyphOf({canvasSquare(100, 300, 200, 400), canvasHole(120, 320, 180, 380)}));
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
  document.setGlyph(0x889F,
                    glyphOf({canvasSquare(0, 0, 500, 500), canvasHole(100, 100, 400, 400)}));
  document.setGlyph(0xB1, glyphOf({quadraticHump(100)}));
  document.setGlyph('A', glyphOf({canvasSquare(1, 2, 3, 4)}));
  return document;
}

// Every code of the Japanese order drawn: thousands of glyphs, enough outline data for
// long loca offsets.
inline FontDocument everyJapaneseCode() {
  FontDocument document(FontType::Japanese, "Every Code");
  for (uint16_t code : document.codeOrder().codes())
    document.setGlyph(code, glyphOf({canvasSquare(code % 300, 20, code % 300 + 100, 400),
                                     canvasHole(code % 300 + 20, 40, code % 300 + 80, 380)}));
  return document;
}

// ---- A minimal reader of the sfnt layout, independent of the writer ----

inline uint32_t be16(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b.at(at)) << 8 | b.at(at + 1);
}
inline uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
  return be16(b, at) << 16 | be16(b, at + 2);
}
inline int32_t sbe16(const std::vector<uint8_t>& b, size_t at) { return int16_t(be16(b, at)); }
inline void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b.at(at) = uint8_t(v >> 8);
  b.at(at + 1) = uint8_t(v);
}

struct TableEntry {
  uint32_t checksum = 0, offset = 0, length = 0;
};

inline std::map<std::string, TableEntry> tableDirectory(const std::vector<uint8_t>& font) {
  std::map<std::string, TableEntry> tables;
  uint32_t count = be16(font, 4);
  for (uint32_t i = 0; i < count; ++i) {
    size_t record = 12 + 16 * i;
    std::string tag(font.begin() + long(record), font.begin() + long(record) + 4);
    tables[tag] = {be32(font, record + 4), be32(font, record + 8), be32(font, record + 12)};
  }
  return tables;
}

inline std::vector<uint8_t> tableBytes(const std::vector<uint8_t>& font, const std::string& tag) {
  TableEntry entry = tableDirectory(font).at(tag);
  return {font.begin() + entry.offset, font.begin() + entry.offset + entry.length};
}

// ---- Files and outside programs ----

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kernova-tt-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~TempDir() { std::filesystem::remove_all(m_path, m_ignored); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return (m_path / name).string(); }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
  std::error_code m_ignored;
};

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct CommandResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

inline CommandResult run(const std::string& command) {
  CommandResult result;
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
    result.output.append(buffer.data(), got);
  int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tt
