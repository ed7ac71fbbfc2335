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

#include "kernova/engine/Bmp.h"
#include "kernova/engine/Tracer.h"
#include "bench/BrushGlyphs.h"
#include "tests/kernova/engine/BmpSamples.h"

extern char** environ;

namespace {

std::string glyphFile() {
  static const std::string path = [] {
    auto dir = std::filesystem::temp_directory_path() / ("bench_trace_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string file = (dir / "srfm_dots3042.bmp").string();
    std::vector<uint8_t> bytes = samples::encodeBmp(bench::brushGlyph(0), {});
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
