// The canvas: one pointer move of an active stroke (drawing included), the full
// recomposition of a 10,000-record log against a plain QPainter replay, UnDo on that
// log in the window, the costliest stroke files a load accepts, and the start of the
// window to its first painted canvas.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>

#include "app/Form1.h"
#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "strokes/StrokeFile.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "widgets/PictureBox.h"

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

// UnDo on a 10,000-record log in the window: the canvas is rebuilt after each undo,
// with the reference character shown (1) or not (0). The ReDo that puts the stroke
// back for the next round is not timed.
void BM_UndoOn10000Records(benchmark::State& state) {
  QTemporaryDir dir;
  FakeServices fakes;
  Form1Services services;
  services.workingDirectory = dir.path().toStdString();
  fakes.fillIn(services);
  Form1 form(services);
  Form1::setCheckValue(form.CheckRefChar, int(state.range(0)));
  peek(form).strokeLog() = tenThousandRecords();
  form.redrawCanvas();
  for (auto _ : state) {
    form.mnuEditUnDo_Click();
    state.PauseTiming();
    form.mnuEditReDo_Click();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoOn10000Records)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly();

// The worst files a load accepts: records of one kind appended until the drawing cost
// estimate reaches its limit; each is read and drawn (target: under 1 s).
StrokeLog logAtTheCostLimit(int kind) {
  StrokeLog log;
  auto stroke = [&](int i) {
    switch (kind) {
      case 0:  // ordinary strokes
        log.appendStrokeRecord(StrokeKind::Begin, 100 + i % 300, 100, 20);
        for (int k = 0; k < 48; ++k) log.appendStrokeRecord(StrokeKind::Line, 100 + i % 300 + k, 100 + 3 * k, 20);
        break;
      case 1:  // dots that fill the canvas
        log.appendStrokeRecord(StrokeKind::Begin, 256, 256, 2000);
        break;
      default:  // the widest brush, long jumps across the canvas
        log.appendStrokeRecord(StrokeKind::Begin, 0, 0, 250);
        for (int k = 0; k < 48; ++k) log.appendStrokeRecord(StrokeKind::Line, (k % 2) * 511, (k * 97) % 512, 250);
    }
    log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  };
  stroke(0);
  const int64_t strokes = strokefile::kMaxReplayNs * 98 / 100 / replayCost(log, 512, 512);
  for (int i = 1; i < strokes; ++i) stroke(i);
  return log;
}

void BM_LoadAndDrawCostliestFile(benchmark::State& state) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("srfm_data0041.log").toStdString();
  const StrokeLog written = logAtTheCostLimit(int(state.range(0)));
  if (!strokefile::writeStrokeFile(file, written)) state.SkipWithError("save failed");
  state.counters["records"] = written.logEnd();
  StrokeLog log;
  RetainedImage canvas(512, 512);
  for (auto _ : state) {
    if (strokefile::readStrokeFile(file, log).outcome != strokefile::LoadOutcome::Loaded)
      state.SkipWithError("refused");
    canvas.clear();
    replayStrokes(log, canvas, 0, log.logEnd() - 1);
  }
}
BENCHMARK(BM_LoadAndDrawCostliestFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

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
    FakeServices fakes;
    Form1Services services;
    services.workingDirectory = dir.path().toStdString();
    fakes.fillIn(services);
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
