// Importing one glyph bitmap as the editor does (read the 1-bit BMP, trace, convert to
// quadratics, place), against the `potrace` command run on the same file. Target: the
// import's median under 5 ms. Both are timed in wall-clock time in the same run.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "kernova/engine/Tracer.h"
#include "tests/kernova/engine/BmpSamples.h"

extern char** environ;

namespace {

// A brush stamp dragged along a path, its radius following `width(t)`.
template <typename Path, typename Width>
void brushStroke(kernova::InkBitmap& b, Path path, Width width) {
  for (int i = 0; i <= 400; ++i) {
    double t = i / 400.0;
    auto [cx, cy] = path(t);
    double r = width(t);
    for (int y = int(cy - r); y <= int(cy + r) + 1; ++y)
      for (int x = int(cx - r); x <= int(cx + r) + 1; ++x)
        if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= r * r)
          samples::set(b, x, y);
  }
}

// A hiragana-like glyph of four strokes: a swelling horizontal, a long curved
// vertical, a loop, and a tapering sweep.
kernova::InkBitmap brushGlyph() {
  kernova::InkBitmap b = samples::blank(512, 512);
  using P = std::pair<double, double>;
  brushStroke(b, [](double t) { return P{90 + 320 * t, 130 - 20 * t}; },
              [](double t) { return 9 + 10 * std::sin(M_PI * t); });
  brushStroke(b, [](double t) { return P{230 + 30 * std::sin(2 * t), 60 + 380 * t}; },
              [](double t) { return 16 - 8 * t; });
  brushStroke(b, [](double t) {
    double a = 2 * M_PI * 1.1 * t;
    return P{300 + 110 * std::cos(a) - 60 * t, 300 + 100 * std::sin(a)}; },
              [](double t) { return 7 + 9 * t; });
  brushStroke(b, [](double t) { return P{110 + 200 * t, 420 - 200 * t * t}; },
              [](double t) { return 14 * (1 - t) + 2; });
  return b;
}

std::string glyphFile() {
  static const std::string path = [] {
    auto dir = std::filesystem::temp_directory_path() / ("bench_trace_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string file = (dir / "srfm_dots3042.bmp").string();
    std::vector<uint8_t> bytes = samples::encodeBmp(brushGlyph(), {});
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return file;
  }();
  return path;
}

void BM_ImportGlyph(benchmark::State& state) {
  std::string path = glyphFile();
  size_t contours = 0;
  for (auto _ : state) {
    kernova::InkBitmap bitmap;
    std::vector<kernova::Contour> traced;
    if (!kernova::readBmpFile(path, bitmap) ||
        !kernova::traceBitmap(bitmap, kernova::TraceParameters{}, traced)) {
      state.SkipWithError("import failed");
      break;
    }
    contours = traced.size();
    benchmark::DoNotOptimize(traced.data());
  }
  state.counters["contours"] = double(contours);
}
BENCHMARK(BM_ImportGlyph)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(15)->ReportAggregatesOnly(true);

void BM_PotraceCommand(benchmark::State& state) {
  std::string path = glyphFile();
  std::string out = path + ".svg";
  for (auto _ : state) {
    const char* argv[] = {"potrace", "-b", "svg", "-o", out.c_str(), path.c_str(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "potrace", nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("potrace command failed");
      break;
    }
  }
}
BENCHMARK(BM_PotraceCommand)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
