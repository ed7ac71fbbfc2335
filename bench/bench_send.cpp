// One press of "Kernova" with a running editor: the canvas written as a bitmap, the
// connection and type probe, setcode, the glyph replaced by the traced bitmap and the
// side bearings set, timed from the press to the editor's last reply. Attaches to a
// running editor or starts `kernova` from DZ_BIN_DIR (the build's bin folder
// otherwise), with a throw-away home and working folder. Target: median under 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/Form1.h"
#include "bench/RealEditorWindow.h"
#include "editor/SystemCodePage.h"
#include "prompts/Prompts.h"
#include "tests/app/Form1TestAccess.h"
#include "tests/support/ThrowAwayHome.h"

namespace {

struct YesPrompts final : Prompts {
  Answer ask(const QString&, const QString&, Buttons buttons) override {
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;  // a new Latin font
  }
};

Form1* g_form = nullptr;

void drawGlyph(Form1& form) {
  form.SliderMax->setValue(24);
  form.SliderMin->setValue(24);
  const float points[][4] = {{120, 420, 250, 80}, {250, 80, 380, 420}, {170, 300, 330, 300}};
  for (const auto& p : points) {
    form.PictureDOT_MouseDown(1, 0, p[0], p[1]);
    for (int i = 1; i <= 20; ++i)
      form.PictureDOT_MouseMove(1, 0, p[0] + (p[2] - p[0]) * i / 20.0f, p[1] + (p[3] - p[1]) * i / 20.0f);
    form.PictureDOT_MouseUp(1, 0, p[2], p[3]);
  }
}

void BM_KernovaPress(benchmark::State& state) {
  for (auto _ : state) g_form->CommandKernova_Click();
}
BENCHMARK(BM_KernovaPress)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
    ->Repetitions(40)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  useThrowAwayHome(home);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  editor::setSystemCodePage(codepage::CodePage::Cp1252);

  YesPrompts prompts;
  RealEditorWindow window(home, prompts, 0x41);
  Form1* form = window.form.get();
  if (peek(*form).editorUnavailable()) {
    std::fprintf(stderr, "bench_send: no editor (%s)\n", qPrintable(editorProgram()));
    return 1;
  }
  drawGlyph(*form);
  Form1::setCheckValue(form->CheckSB, 1);
  form->TextLSB->setText("40");
  form->TextRSB->setText("40");
  g_form = form;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
