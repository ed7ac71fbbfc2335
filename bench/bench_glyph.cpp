// The glyph bitmap export: the whole send-side export of the 512 x 512 canvas (encode,
// write, flush, rename; target: median under 1 ms) and the encoding alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/Form1.h"
#include "glyph/GlyphBitmap.h"
#include "canvas/RetainedImage.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "widgets/PictureBox.h"

namespace {

// A written-looking canvas: a few wide strokes over the guide.
void drawStrokes(Form1& form) {
  StrokeLog& log = peek(form).strokeLog();
  for (int s = 0; s < 8; ++s) {
    log.appendStrokeRecord(StrokeKind::Begin, 60 + 50 * s, 80, 12);
    for (int i = 1; i <= 40; ++i)
      log.appendStrokeRecord(StrokeKind::Line, 60 + 50 * s + i, 80 + 9 * i, 12 + i / 4);
    log.appendStrokeRecord(StrokeKind::End, 100 + 50 * s, 440, 22);
  }
  form.redrawCanvas();
}

struct Window {
  QTemporaryDir dir;
  FakePrompts prompts;
  FixedRandom random;
  FakeServices fakes;
  std::unique_ptr<Form1> form;
  Window() {
    Form1Services services;
    services.prompts = &prompts;
    services.random = &random;
    services.workingDirectory = dir.path().toStdString();
    fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
    peek(*form).setCurrentCharCode(0x3042);
    drawStrokes(*form);
  }
};

void BM_ExportGlyphBitmap(benchmark::State& state) {
  Window window;
  for (auto _ : state) {
    const QString path = window.form->exportGlyphBitmap();
    if (path.isEmpty()) state.SkipWithError("the export failed");
    benchmark::DoNotOptimize(path);
  }
}
BENCHMARK(BM_ExportGlyphBitmap)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_EncodeGlyphBitmap(benchmark::State& state) {
  Window window;
  const QImage& image = window.form->canvas().image();
  const glyph::PixelView pixels{image.constBits(), image.width(), image.height(),
                                int(image.bytesPerLine())};
  std::vector<uint8_t> file;
  for (auto _ : state) {
    benchmark::DoNotOptimize(glyph::encodeGlyphBitmap(pixels, file).ok());
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_EncodeGlyphBitmap)->Unit(benchmark::kMicrosecond);

}  // namespace

