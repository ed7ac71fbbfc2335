// Saving and loading a 10,000-record stroke file (target: median under 2 ms each).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "strokes/StrokeFile.h"

namespace {

constexpr int kRecords = 10'000;

StrokeLog typicalLog() {
  StrokeLog log;
  for (int i = 0; log.logEnd() < kRecords; ++i) {
    log.appendStrokeRecord(i % 5 ? StrokeKind::Line : StrokeKind::Begin, 100 + i % 300,
                           50 + (i * 7) % 400, 1 + i % 40);
    if (i % 50 == 49 && log.logEnd() < kRecords) log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
  return log;
}

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-strokes-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~Folder() { std::filesystem::remove_all(m_path); }
  std::filesystem::path file() const { return m_path / "srfm_data0041.log"; }

 private:
  std::filesystem::path m_path;
};

void BM_SaveStrokeFile(benchmark::State& state) {
  const StrokeLog log = typicalLog();
  Folder folder;
  for (auto _ : state) {
    if (!strokefile::writeStrokeFile(folder.file(), log)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveStrokeFile)->Unit(benchmark::kMillisecond);

void BM_LoadStrokeFile(benchmark::State& state) {
  Folder folder;
  if (!strokefile::writeStrokeFile(folder.file(), typicalLog())) state.SkipWithError("save failed");
  StrokeLog log;
  for (auto _ : state) {
    const auto result = strokefile::readStrokeFile(folder.file(), log);
    if (result.outcome != strokefile::LoadOutcome::Loaded || log.logEnd() != kRecords)
      state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadStrokeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
