// The canvas: one pointer move of an active stroke (drawing included), the full
// recomposition of a 10,000-record log against a plain QPainter replay, and the start
// of the window to its first painted canvas.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>

#include "app/Form1.h"
#include "brush/StrokeReplay.h"
#include "platform/PictureBox.h"
#include "canvas/RetainedImage.h"
#include "tests/support/FakeBrushHost.h"
#include "tests/support/FakePrompts.h"

namespace {

void BM_PointerMove(benchmark::State& state) {
  const int base = int(state.range(0));
  RetainedImage canvas(512, 512);
  FakeBrushHost host;
  FixedRandom random;
  brush::BrushEngine engine(canvas, host, random, 121);
  canvas.setDrawWidth(base);
  brush::PenSample pen{256, 256, brush::LeftButton, 0, 1, 512, 100, false, 0};
  engine.down(pen);
  double angle = 0;
  for (auto _ : state) {
    angle += 0.05;
    pen.x = float(256 + 150 * std::cos(angle));
    pen.y = float(256 + 150 * std::sin(angle));
    ++pen.time;
    engine.move(pen);
    if (host.log.logEnd() > 100000) host.log.clearStrokeLog();
  }
}
BENCHMARK(BM_PointerMove)->Arg(1)->Arg(40)->Arg(250);

StrokeLog tenThousandRecords() {
  StrokeLog log;
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % uint32_t(range));
  };
  while (log.logEnd() < 10000) {
    int x = next(512), y = next(512);
    log.appendStrokeRecord(StrokeKind::Begin, x, y, 20);
    for (int i = 0; i < 48; ++i) {
      x += next(9) - 4;
      y += next(9) - 4;
      log.appendStrokeRecord(StrokeKind::Line, x, y, 20);
    }
    log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
  return log;
}

void BM_RedrawCanvas(benchmark::State& state) {
  const StrokeLog log = tenThousandRecords();
  RetainedImage temp(512, 512), canvas(512, 512);
  for (auto _ : state) {
    temp.clear();
    temp.horizontalLine(0, 514, 442.04, colours::GuideLine);
    replayStrokes(log, temp, 0, log.logEnd() - 1);
    canvas.copyFrom(temp);
    benchmark::DoNotOptimize(canvas.image().constBits());
  }
}
BENCHMARK(BM_RedrawCanvas)->Unit(benchmark::kMillisecond);

// The same records through QPainter with round-capped pens, for comparison.
void BM_QPainterReplay(benchmark::State& state) {
  const StrokeLog log = tenThousandRecords();
  QImage image(512, 512, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    QPoint current;
    for (int32_t i = 0; i < log.logEnd(); ++i) {
      const StrokeRecord& r = log.at(i);
      QPen pen(Qt::black, r.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      painter.setPen(pen);
      if (r.kind == 1) {
        painter.drawPoint(r.x, r.y);
        current = QPoint(r.x, r.y);
      } else if (r.kind == 2) {
        painter.drawLine(current, QPoint(r.x, r.y));
        current = QPoint(r.x, r.y);
      }
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_QPainterReplay)->Unit(benchmark::kMillisecond);

// Watches for the canvas's first paint.
struct FirstPaint : QObject {
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

void BM_StartToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    QTemporaryDir dir;
    FakePrompts prompts;
    Form1Services services;
    services.prompts = &prompts;
    services.workingDirectory = dir.path().toStdString();
    FirstPaint watcher;
    auto form = std::make_unique<Form1>(services);
    form->PictureDOT->installEventFilter(&watcher);
    form->show();
    form->redrawCanvas();
    while (!watcher.painted) QApplication::processEvents();
    state.PauseTiming();
    form->PictureDOT->removeEventFilter(&watcher);
    form->hide();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
