#pragma once
// Engine test helpers: hand-made outlines and documents, read-back, samples, folders, programs.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "kernova/engine/FontDocument.h"
#include "kernova/engine/TrueTypeReader.h"
#include "tests/support/FileBytes.h"

namespace tt {

using kernova::Contour;
using kernova::FontDocument;
using kernova::FontType;
using kernova::Glyph;
using Bytes = std::vector<uint8_t>;

// A clockwise (y up) square given in canvas pixels, (4x, 4(442 - y)) in font units;
// counter-clockwise, a hole.
inline Contour canvasSquare(int left, int top, int right, int bottom, bool hole = false) {
  Contour c = {{4 * left, 4 * (442 - bottom)}, {4 * left, 4 * (442 - top)},
               {4 * right, 4 * (442 - top)}, {4 * right, 4 * (442 - bottom)}};
  if (hole) std::reverse(c.begin() + 1, c.end());
  return c;
}

inline Glyph glyphOf(std::vector<Contour> contours) { return Glyph{.contours = std::move(contours)}; }

// 'A' a square with a square hole, 'B' a quadratic hump, 0x80 (the euro) a bar reaching
// past the ascender (1768) and descender (280), 0xE9 (e acute) a square.
inline FontDocument latinDocument() {
  FontDocument document(FontType::Latin, "Brush Latin");
  document.setGlyph('A', glyphOf({canvasSquare(100, 300, 200, 400), canvasSquare(120, 320, 180, 380, true)}));
  document.setGlyph('B', glyphOf({{{0, 0}, {200, 400, false}, {400, 0}}}));
  document.setGlyph(0x80, glyphOf({canvasSquare(10, -20, 20, 520)}));
  document.setGlyph(0xE9, glyphOf({canvasSquare(50, 250, 150, 442)}));
  return document;
}

// 0x82A0 (hiragana a), 0x889F (the first level-1 kanji) with a hole, 0xB1
// (half-width katakana a) a curve, and 'A'.
inline FontDocument japaneseDocument() {
  FontDocument document(FontType::Japanese, "あ");
  document.setGlyph(0x82A0, glyphOf({canvasSquare(100, 300, 200, 400)}));
  document.setGlyph(0x889F, glyphOf({canvasSquare(0, 0, 500, 500), canvasSquare(100, 100, 400, 400, true)}));
  document.setGlyph(0xB1, glyphOf({{{100, 0}, {300, 400, false}, {500, 0}}}));
  document.setGlyph('A', glyphOf({canvasSquare(1, 2, 3, 4)}));
  return document;
}

// The document a font's bytes open as, failing the test if they do not open.
inline std::unique_ptr<FontDocument> readBack(const Bytes& bytes) {
  std::unique_ptr<FontDocument> document;
  Status status = kernova::loadTrueTypeFromMemory(bytes, document);
  EXPECT_TRUE(status) << status.message();
  return document;
}

// The files of tests/data/<folder>, in name order.
inline std::vector<std::string> sampleFiles(const std::string& folder) {
  std::vector<std::string> files;
  const char* source = std::getenv("DZ_SOURCE_DIR");
  for (const auto& entry : std::filesystem::directory_iterator(std::string(source ? source : ".") + "/tests/data/" + folder))
    files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  EXPECT_FALSE(files.empty()) << folder;
  return files;
}

// The part of a sample's file name before the first '.', '_' read as ' '.
inline std::string sampleName(const std::string& path) {
  std::string name = std::filesystem::path(path).filename().string();
  name = name.substr(0, name.find('.'));
  std::replace(name.begin(), name.end(), '_', ' ');
  return name;
}

// Whether `message` holds the sample's name after the path it may quote.
inline bool namesItsFault(const std::string& message, const std::string& path) {
  const size_t quoted = message.rfind(path);
  return message.find(sampleName(path), quoted == std::string::npos ? 0 : quoted + path.size()) != std::string::npos;
}

// The exit code and output (stdout and stderr) of a shell command.
inline std::pair<int, std::string> run(const std::string& command) {
  std::string output;
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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

 private:
  std::filesystem::path m_path;
  std::error_code m_ignored;
};

}  // namespace tt
