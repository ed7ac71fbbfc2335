// Painting kernova's glyph grid for a 7,000-glyph Japanese font: one full view
// (960 x 640 window) and one scroll step, every glyph drawn (the traced brush
// glyphs of bench/BrushGlyphs.h, eight variants).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include "bench/BrushGlyphs.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MainWindow.h"
#include "kernova/engine/Tracer.h"
#include "tests/support/ThrowAwayHome.h"

namespace {

kernova::MainWindow* g_window = nullptr;

void fillFont(kernova::FontDocument& document) {
  std::vector<kernova::Glyph> variants;
  for (int v = 0; v < 8; ++v) {
    kernova::Glyph glyph;
    kernova::traceBitmap(bench::brushGlyph(v), kernova::TraceParameters{}, glyph.contours);
    variants.push_back(std::move(glyph));
  }
  const std::vector<uint16_t>& codes = document.codeOrder().codes();
  for (size_t i = 0; i < codes.size() && i < 7000; ++i) document.setGlyph(codes[i], variants[i % 8]);
}

void BM_GridFullView(benchmark::State& state) {
  kernova::GlyphGrid* grid = g_window->grid();
  grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
  for (auto _ : state) grid->viewport()->repaint();
  state.counters["cells"] = grid->lastVisibleIndex() - grid->firstVisibleIndex() + 1;
}
BENCHMARK(BM_GridFullView)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridScrollStep(benchmark::State& state) {
  QScrollBar* bar = g_window->grid()->verticalScrollBar();
  bar->setValue(0);
  for (auto _ : state) {
    bar->setValue(bar->value() + bar->singleStep() > bar->maximum() ? 0 : bar->value() + bar->singleStep());
    g_window->grid()->viewport()->repaint();
  }
}
BENCHMARK(BM_GridScrollStep)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  useThrowAwayHome(home);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  kernova::DocumentSet documents;
  kernova::MainWindow window(documents);
  fillFont(*documents.document(documents.create(kernova::FontType::Japanese)));
  documents.notifyChanged(documents.active());
  window.resize(960, 640);
  window.show();
  QApplication::processEvents();
  g_window = &window;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
