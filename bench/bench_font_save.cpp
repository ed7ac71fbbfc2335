// Saving (as TrueType and as WOFF2) and opening a Japanese font of 7,000 traced glyphs,
// against fontTools building the same outlines (FontBuilder + TTGlyphPen) in the same run.
// Targets: save median under 1 s, open under 1 s, save about 10x faster than fontTools.
// The outlines are six brush-written bitmaps traced by the editor's own tracer and
// reused in turn across the first 7,000 codes of the Japanese code order.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/BrushGlyphs.h"
#include "kernova/engine/Tracer.h"
#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "common/codepage/CodePage.h"

namespace {

using kernova::Contour;
using kernova::FontDocument;
using kernova::FontType;

constexpr size_t kGlyphCount = 7000;

const std::vector<std::vector<Contour>>& tracedShapes() {
  static const std::vector<std::vector<Contour>> shapes = [] {
    std::vector<std::vector<Contour>> result;
    for (int variant = 0; variant < 6; ++variant) {
      std::vector<Contour> contours;
      if (!kernova::traceBitmap(bench::brushGlyph(variant), kernova::TraceParameters{}, contours))
        std::abort();
      result.push_back(std::move(contours));
    }
    return result;
  }();
  return shapes;
}

const FontDocument& benchDocument() {
  static const FontDocument document = [] {
    FontDocument built(FontType::Japanese, "筆文字 Bench");
    const std::vector<uint16_t>& codes = built.codeOrder().codes();
    for (size_t i = 0; i < kGlyphCount && i < codes.size(); ++i) {
      kernova::Glyph glyph;
      glyph.contours = tracedShapes()[i % tracedShapes().size()];
      built.setGlyph(codes[i], std::move(glyph));
    }
    return built;
  }();
  return document;
}

// A folder for the run's files, removed when the program ends.
class WorkFolder {
 public:
  WorkFolder()
      : m_path(std::filesystem::temp_directory_path() /
               ("bench_font_save_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(m_path);
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

const std::filesystem::path& workFolder() {
  static const WorkFolder folder;
  return folder.path();
}

std::vector<double> g_saveSeconds;  // every timed save, for the fontTools ratio

void BM_SaveJapanese7000(benchmark::State& state) {
  const FontDocument& document = benchDocument();
  std::string path = (workFolder() / "kernova.ttf").string();
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (Status saved = kernova::saveTrueType(document, path); !saved) {
      state.SkipWithError(saved.message().c_str());
      break;
    }
    g_saveSeconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  size_t points = 0;
  for (const auto& [code, glyph] : document.glyphs())
    for (const Contour& contour : glyph.contours) points += contour.size();
  state.counters["glyphs"] = double(document.glyphs().size());
  state.counters["points_per_glyph"] = double(points) / double(document.glyphs().size());
  state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_SaveJapanese7000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime();

// The same font saved as WOFF2, against the TrueType file's size.
void BM_SaveJapanese7000Woff2(benchmark::State& state) {
  const FontDocument& document = benchDocument();
  std::string path = (workFolder() / "kernova.woff2").string();
  std::string trueType = (workFolder() / "size.ttf").string();
  if (!kernova::saveTrueType(document, trueType)) std::abort();
  for (auto _ : state) {
    if (Status saved = kernova::saveFont(document, path); !saved) {
      state.SkipWithError(saved.message().c_str());
      break;
    }
  }
  const double woff2Size = double(std::filesystem::file_size(path));
  state.counters["file_MB"] = woff2Size / 1e6;
  state.counters["woff2_to_ttf"] = woff2Size / double(std::filesystem::file_size(trueType));
}
BENCHMARK(BM_SaveJapanese7000Woff2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

void BM_OpenJapanese7000(benchmark::State& state) {
  std::string path = (workFolder() / "opened.ttf").string();
  if (!kernova::saveTrueType(benchDocument(), path)) std::abort();
  for (auto _ : state) {
    std::unique_ptr<FontDocument> document;
    if (Status opened = kernova::loadTrueType(path, document); !opened) {
      state.SkipWithError(opened.message().c_str());
      break;
    }
    benchmark::DoNotOptimize(document.get());
  }
}
BENCHMARK(BM_OpenJapanese7000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime();

// The outlines as text for the fontTools script: one line per glyph,
// "unicode advance" then each contour as ";" and "x,y,on" points.
std::string writeOutlines() {
  std::string path = (workFolder() / "outlines.txt").string();
  std::ofstream out(path);
  for (const auto& [code, glyph] : benchDocument().glyphs()) {
    out << uint32_t(*codepage::toUnicode(codepage::CodePage::Cp932, code)) << ' ' << glyph.advance;
    for (const Contour& contour : glyph.contours) {
      out << " ;";
      for (const kernova::Point& point : contour)
        out << ' ' << point.x << ',' << point.y << ',' << point.onCurve;
    }
    out << '\n';
  }
  return path;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void BM_FontToolsBuildJapanese7000(benchmark::State& state) {
  std::string outlines = writeOutlines();
  std::string command = "/usr/bin/python3 '" DZ_SOURCE_DIR "/bench/font_save_fonttools.py' '" +
                        outlines + "' '" + (workFolder() / "fonttools.ttf").string() + "'";
  std::vector<double> seconds;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("the fontTools script failed");
      break;
    }
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  if (!g_saveSeconds.empty())
    state.counters["x_slower_than_kernova"] = median(seconds) / median(g_saveSeconds);
}
BENCHMARK(BM_FontToolsBuildJapanese7000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
